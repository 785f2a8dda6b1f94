#include "com/PropertyFrame.h"

#include "com/Control.h"
#include "com/ObjectLoader.h"

#include <forms/GuardedDialog.h>
#include <forms/MessageBox.h>

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace com {

// The frame's side of the page protocol; it lives as long as the frame, which takes every
// page's reference to it back before it goes.
class PropertyFrame::Site : public IPropertyPageSite {
public:
    explicit Site(PropertyFrame* frame)
        : m_frame(frame) {}

    HRESULT QueryInterface(const Iid& iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IPropertyPageSite)
            return E_NOINTERFACE;
        *out = static_cast<IPropertyPageSite*>(this);
        return S_OK;
    }
    std::uint32_t AddRef() override { return 2; }
    std::uint32_t Release() override { return 1; }
    HRESULT OnStatusChange(std::uint32_t) override {
        m_frame->onStatusChange();
        return S_OK;
    }

private:
    PropertyFrame* m_frame;
};

namespace {

HRESULT createFromRegistry(const Clsid& clsid, IPropertyPage** page) {
    return loader::createInstance(clsid, IID_IPropertyPage, reinterpret_cast<void**>(page));
}

// What a page says of itself; a page that cannot say gets an empty title and no size of its
// own (the frame sizes it as the others).
PageInfo pageInfo(IPropertyPage& page) {
    PageInfo info;
    if (failed(page.GetPageInfo(&info)))
        return {};
    return info;
}

} // namespace

PropertyFrame::PropertyFrame(const QString& caption, const QList<IUnknown*>& objects,
                             const QList<Clsid>& pages, QWidget* parent, PageCreator creator)
    : QDialog(parent)
    , m_creator(creator ? std::move(creator) : PageCreator(&createFromRegistry))
    , m_site(std::make_unique<Site>(this)) {
    setWindowTitle(tr("%1 Properties").arg(caption));
    m_tabs = new QTabWidget(this);
    m_ok = new QPushButton(tr("OK"), this);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_apply = new QPushButton(tr("&Apply"), this);
    m_help = new QPushButton(tr("Help"), this);
    m_ok->setDefault(true);
    m_apply->setEnabled(false);
    connect(m_ok, &QPushButton::clicked, this, &PropertyFrame::accept);
    connect(m_cancel, &QPushButton::clicked, this, &PropertyFrame::reject);
    connect(m_apply, &QPushButton::clicked, this, &PropertyFrame::applyPages);
    connect(m_help, &QPushButton::clicked, this, &PropertyFrame::showHelp);

    for (const Clsid& clsid : pages)
        addPage(clsid, objects);
    QSize pageSize;
    for (const Entry& e : std::as_const(m_pages))
        pageSize = pageSize.expandedTo(pageInfo(*e.page).size);
    layoutFrame(pageSize);
    connect(m_tabs, &QTabWidget::currentChanged, this, &PropertyFrame::onTabChanged);
    if (!m_pages.isEmpty())
        onTabChanged(0);
}

PropertyFrame::~PropertyFrame() {
    // The pages are released when the taken list goes. The frame is closing: a page that
    // fails to let go of its dialog, site or objects leaves the frame nothing to do about it.
    const QList<Entry> pages = std::exchange(m_pages, {});
    for (const Entry& e : pages) {
        std::ignore = e.page->Deactivate();
        std::ignore = e.page->SetPageSite(nullptr);
        std::ignore = e.page->SetObjects({});
    }
}

void PropertyFrame::addPage(const Clsid& clsid, const QList<IUnknown*>& objects) {
    ComPtr<IPropertyPage> page;
    HRESULT hr = m_creator(clsid, page.receive());
    if (succeeded(hr) && !page)
        hr = E_POINTER;
    if (succeeded(hr))
        hr = page->SetObjects(objects);
    if (succeeded(hr))
        hr = page->SetPageSite(m_site.get());
    if (failed(hr)) {
        if (succeeded(m_status))
            m_status = hr;
        return;
    }
    Entry e;
    e.page = page;
    e.tab = new QWidget;
    m_tabs->addTab(e.tab, pageInfo(*page).title);
    m_pages.append(e);
}

void PropertyFrame::layoutFrame(const QSize& pageSize) {
    for (const Entry& e : std::as_const(m_pages))
        e.tab->setFixedSize(pageSize);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {m_ok, m_cancel, m_apply, m_help}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    m_ok->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int PropertyFrame::pageCount() const {
    return int(m_pages.size());
}

IPropertyPage* PropertyFrame::page(int index) const {
    return index >= 0 && index < m_pages.size() ? m_pages.at(index).page.get() : nullptr;
}

int PropertyFrame::currentPage() const {
    return m_tabs->currentIndex();
}

void PropertyFrame::setCurrentPage(int index) {
    if (index >= 0 && index < m_pages.size())
        m_tabs->setCurrentIndex(index);
}

void PropertyFrame::activate(int index) {
    Entry& e = m_pages[index];
    if (e.active)
        return;
    e.active = succeeded(e.page->Activate(e.tab, QRect(QPoint(0, 0), pageInfo(*e.page).size)));
}

void PropertyFrame::onTabChanged(int index) {
    // Showing or hiding fails only for a page whose dialog is gone, which shows nothing anyway.
    if (m_shown >= 0 && m_shown < m_pages.size() && m_shown != index)
        std::ignore = m_pages.at(m_shown).page->Show(false);
    m_shown = -1;
    if (index < 0 || index >= m_pages.size())
        return;
    activate(index);
    if (m_pages.at(index).active) {
        std::ignore = m_pages.at(index).page->Show(true);
        m_shown = index;
        focusFirstControl(m_pages.at(index).page->Window());
    }
}

void PropertyFrame::focusFirstControl(QWidget* pageWindow) {
    if (!pageWindow)
        return;
    for (QWidget* w = pageWindow->nextInFocusChain(); w && w != pageWindow;
         w = w->nextInFocusChain()) {
        if (pageWindow->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void PropertyFrame::showRefusedField(int index) {
    // The page put the focus on the field it refused, perhaps while it was not shown; bringing
    // the page to the front gives the focus to its first control, so it goes back to the field.
    QWidget* pageWindow = m_pages.at(index).page->Window();
    const QPointer<QWidget> refused = pageWindow ? pageWindow->focusWidget() : nullptr;
    setCurrentPage(index);
    // As if tabbed to: a text field comes back with its text selected, ready to be retyped.
    if (refused && pageWindow->isAncestorOf(refused))
        refused->setFocus(Qt::TabFocusReason);
}

void PropertyFrame::onStatusChange() {
    bool dirty = false;
    for (const Entry& e : std::as_const(m_pages))
        dirty = dirty || e.page->IsPageDirty() == S_OK;
    m_apply->setEnabled(dirty);
}

bool PropertyFrame::applyPages() {
    bool any = false;
    for (int i = 0; i < m_pages.size(); ++i) {
        const Entry& e = m_pages.at(i);
        if (!e.active || e.page->IsPageDirty() != S_OK)
            continue;
        if (failed(e.page->Apply())) {
            showRefusedField(i);
            onStatusChange();
            if (any)
                emit applied();
            return false;
        }
        any = true;
    }
    onStatusChange();
    if (any)
        emit applied();
    return true;
}

void PropertyFrame::accept() {
    if (applyPages())
        QDialog::accept();
}

void PropertyFrame::showHelp() {
    IPropertyPage* current = page(currentPage());
    if (!current)
        return;
    QString text;
    if (failed(current->Help(&text)) || text.isEmpty())
        return;
    forms::MessageBox::show(text, forms::MsgButtons::Ok, forms::MsgIcon::Information, windowTitle(),
                            this);
}

HRESULT showPropertyFrame(QWidget* parent, const QString& caption, const QList<IUnknown*>& objects,
                          const QList<Clsid>& pages, int initialPage,
                          const PropertyFrame::PageCreator& creator,
                          const std::function<void()>& applied) {
    // Deleting the parent while the frame is open deletes the frame and its pages with it; the
    // objects edited may be gone too, so the caller learns that nothing is left to look at.
    forms::GuardedDialog<PropertyFrame> frame(caption, objects, pages, parent, creator);
    if (frame->pageCount() == 0)
        return failed(frame->status()) ? frame->status() : E_INVALIDARG;
    if (applied)
        QObject::connect(frame.get(), &PropertyFrame::applied, applied);
    frame->setCurrentPage(initialPage);
    frame.exec();
    return frame.alive() ? S_OK : E_ABORT;
}

HRESULT showPropertyPages(QWidget* parent, IUnknown* control, const QString& caption,
                          int initialPage, const PropertyFrame::PageCreator& creator,
                          const std::function<void()>& applied) {
    if (!control)
        return E_POINTER;
    ComPtr<IUnknown> object(control);
    const ComPtr<IControl> asControl = object.query<IControl>(IID_IControl);
    if (!asControl)
        return E_NOINTERFACE;
    QList<Clsid> pages;
    const HRESULT hr = asControl->GetPropertyPages(&pages);
    if (failed(hr))
        return hr;
    return showPropertyFrame(parent, caption, {control}, pages, initialPage, creator, applied);
}

} // namespace com
