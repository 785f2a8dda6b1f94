#include "PageFixture.h"

#include "MeterPages.h"
#include "PageCatalog.h"

#include <QPushButton>
#include <QTest>

namespace pagefixture {

Frame::Frame(const QList<com::IUnknown*>& objects) {
    QList<com::Clsid> pages;
    for (const auto& id : gaugekit::pages::PageCatalog::all())
        pages.append(gaugekit::pages::PageCatalog::clsid(id.kind));
    m_frame = std::make_unique<com::PropertyFrame>(QStringLiteral("Meter"), objects, pages, nullptr,
                                                   &gaugekit::pages::MeterPages::createPage);
    m_frame->show();
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
}

Frame::~Frame() = default;

gaugekit::pages::MeterPropertyPage* Frame::open(Page page) {
    m_frame->setCurrentPage(page);
    return dynamic_cast<gaugekit::pages::MeterPropertyPage*>(m_frame->page(page));
}

QWidget* Frame::field(Page page, int id) {
    auto* p = dynamic_cast<gaugekit::pages::MeterPropertyPage*>(m_frame->page(page));
    if (p && !p->dialog())
        open(page); // a page's dialog is made when its tab is first chosen
    return p ? p->control(id) : nullptr;
}

QLineEdit* Frame::edit(Page page, int id) {
    return qobject_cast<QLineEdit*>(field(page, id));
}

QComboBox* Frame::combo(Page page, int id) {
    return qobject_cast<QComboBox*>(field(page, id));
}

void Frame::type(Page page, int id, const QString& text) {
    QWidget* w = field(page, id);
    QLineEdit* line = qobject_cast<QLineEdit*>(w);
    if (auto* box = qobject_cast<QComboBox*>(w))
        line = box->lineEdit();
    QVERIFY(line);
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Backspace);
    QTest::keyClicks(line, text);
}

void Frame::pick(Page page, int id, int index) {
    QComboBox* box = combo(page, id);
    QVERIFY(box);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void Frame::click(Page page, int id) {
    auto* button = qobject_cast<QPushButton*>(field(page, id));
    QVERIFY(button);
    button->click();
}

void Frame::apply() {
    m_frame->applyButton()->click();
}

} // namespace pagefixture
