// The pages' dialogs as their templates give them: control ids as object names, kinds, list
// entries, positions in pixels from dialog units, tab order; and the frame around them.
#include "PageFixture.h"

#include "CGAUGEKITPropPage.h"
#include "CMAlrmPPg.h"
#include "CMLookPPg.h"
#include "CMScalPPg.h"
#include "CTimerPPg.h"
#include "GaugeKitIds.h"
#include "UpDownControl.h"

#include <forms/DesignGroupBox.h>
#include <forms/DialogUnits.h>
#include <forms/MessageBox.h>
#include <forms/Twips.h>

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace gaugekit::pages;
using namespace pagefixture;

Q_DECLARE_METATYPE(const DialogTemplate*)

class TestPageLayout : public QObject {
    Q_OBJECT
private slots:
    void dialogUnits_data();
    void dialogUnits();
    void controls_data();
    void controls();
    void noControlCrossesAFrameLine_data();
    void noControlCrossesAFrameLine();
    void frameShowsFivePagesInOrder();
    void frameButtons();
    void returnInAFieldIsOk();
};

void TestPageLayout::dialogUnits_data() {
    QTest::addColumn<QRect>("units");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("4 x 8 units are one base unit")
        << QRect(4, 8, 4, 8) << 96.0 << QRect(6, 13, 6, 13);
    QTest::newRow("General's width field")
        << QRect(55, 48, 20, 14) << 96.0 << QRect(83, 78, 30, 23);
    QTest::newRow("twice the resolution") << QRect(4, 8, 4, 8) << 192.0 << QRect(12, 26, 12, 26);
}

void TestPageLayout::dialogUnits() {
    QFETCH(QRect, units);
    QFETCH(double, dpi);
    QFETCH(QRect, pixels);
    QCOMPARE(forms::dialogunits::toPixels(units, dpi, dpi), pixels);
}

void TestPageLayout::controls_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<const DialogTemplate*>("dialogTemplate");
    QTest::addColumn<QList<int>>("tabOrder");
    QTest::newRow("General") << int(General) << &CGAUGEKITPropPage::dialogTemplate()
                             << QList<int>{200, 253, 208, 202, 201, 254, 209, 203,
                                           240, 239, 328, 329, 330, 331, 335, 336};
    QTest::newRow("Appearance") << int(Look) << &CMLookPPg::dialogTemplate()
                                << QList<int>{206, 233, 209, 201, 202, 203, 204,
                                              205, 224, 213, 211, 225, 226};
    QTest::newRow("Scale") << int(Scale) << &CMScalPPg::dialogTemplate()
                           << QList<int>{214, 215, 238, 218, 221, 237, 222,
                                         212, 213, 216, 219, 220, 217, 236};
    QTest::newRow("Alarms") << int(Alarm) << &CMAlrmPPg::dialogTemplate()
                            << QList<int>{230, 231, 235, 228, 229, 233, 226, 227, 232};
    QTest::newRow("Timer") << int(Timer) << &CTimerPPg::dialogTemplate()
                           << QList<int>{233, 232, 241};
}

namespace {

const char* className(ControlKind kind) {
    switch (kind) {
    case ControlKind::Button:
        return "QPushButton";
    case ControlKind::CheckBox:
        return "QCheckBox";
    case ControlKind::Edit:
        return "QLineEdit";
    case ControlKind::ComboBox:
        return "QComboBox";
    case ControlKind::UpDown:
        return "gaugekit::pages::UpDownControl";
    case ControlKind::GroupBox:
    case ControlKind::Label:
        break;
    }
    return "";
}

QRect expectedRect(const ControlSpec& spec) {
    QRect units = spec.units;
    if (spec.kind == ControlKind::ComboBox)
        units.setHeight(13);
    const double dx = forms::twips::dpiX(), dy = forms::twips::dpiY();
    return forms::dialogunits::toPixels(units, dx, dy);
}

} // namespace

void TestPageLayout::controls() {
    QFETCH(int, page);
    QFETCH(const DialogTemplate*, dialogTemplate);
    QFETCH(QList<int>, tabOrder);
    fixture::Meter meter;
    Frame frame({meter->unknown()});
    MeterPropertyPage* p = frame.open(Page(page));
    QVERIFY(p && p->dialog());
    QCOMPARE(p->dialog()->size(),
             forms::dialogunits::toPixels(dialogTemplate->units, forms::twips::dpiX(),
                                          forms::twips::dpiY()));
    QList<int> ids;
    for (const ControlSpec& spec : dialogTemplate->controls) {
        QWidget* w = p->control(spec.id);
        QVERIFY2(w, qPrintable(QString::number(spec.id)));
        QCOMPARE(w->metaObject()->className(), className(spec.kind));
        QCOMPARE(w->geometry(), expectedRect(spec));
        if (auto* box = qobject_cast<QComboBox*>(w)) {
            QVERIFY(box->isEditable());
            QStringList entries;
            for (int i = 0; i < box->count(); ++i)
                entries << box->itemText(i);
            QCOMPARE(entries, spec.entries);
        }
        if (spec.kind != ControlKind::UpDown)
            ids << spec.id;
        else
            QCOMPARE(w->focusPolicy(), Qt::NoFocus);
    }
    QCOMPARE(ids, tabOrder);
    // Tab moves from each control to the next one of the table.
    for (qsizetype i = 0; i + 1 < ids.size(); ++i) {
        QWidget* w = p->control(ids[i])->nextInFocusChain();
        while (w && (w->focusPolicy() == Qt::NoFocus || p->control(ids[i])->isAncestorOf(w)))
            w = w->nextInFocusChain();
        QVERIFY(w);
        QWidget* expected = p->control(ids[i + 1]);
        QVERIFY2(w == expected, qPrintable(QStringLiteral("after %1").arg(ids[i])));
    }
    for (QWidget* w : p->dialog()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->objectName() == QLatin1String("group") || w->objectName() == QLatin1String("label"))
            QCOMPARE(w->focusPolicy(), Qt::NoFocus);
    }
}

void TestPageLayout::noControlCrossesAFrameLine_data() {
    QTest::addColumn<int>("page");
    QTest::newRow("General") << int(General);
    QTest::newRow("Appearance") << int(Look);
    QTest::newRow("Scale") << int(Scale);
    QTest::newRow("Alarms") << int(Alarm);
    QTest::newRow("Timer") << int(Timer);
}

// Captions drawn above the frame put the frame line a caption's height lower than the dialog
// layouts expect, and five controls crossed it. Every control and label lies inside a frame
// or outside it, clear of its line and of its caption.
void TestPageLayout::noControlCrossesAFrameLine() {
    QFETCH(int, page);
    fixture::Meter meter;
    Frame frame({meter->unknown()});
    MeterPropertyPage* p = frame.open(Page(page));
    QVERIFY(p && p->dialog());
    QList<forms::DesignGroupBox*> boxes;
    for (QWidget* w : p->dialog()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (auto* box = qobject_cast<forms::DesignGroupBox*>(w))
            boxes << box;
    }
    QVERIFY(!boxes.isEmpty() || page == int(Timer));
    for (const forms::DesignGroupBox* box : std::as_const(boxes)) {
        const QRect line = box->frameLineRect().translated(box->pos());
        const QRect inside = line.adjusted(2, 2, -2, -2);
        const QRect caption = box->captionRect().translated(box->pos());
        // The caption sits on the line: its middle row is the line's top row.
        QVERIFY(caption.top() < line.top() && caption.bottom() > line.top());
        for (QWidget* w : p->dialog()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (qobject_cast<forms::DesignGroupBox*>(w) || w->isHidden())
                continue;
            const QRect r = w->geometry();
            const QString what =
                QStringLiteral("%1 '%2' and frame '%3'")
                    .arg(w->objectName(), w->property("text").toString(), box->title());
            QVERIFY2(!r.intersects(line) || inside.contains(r), qPrintable(what));
            QVERIFY2(!r.intersects(caption), qPrintable(what));
        }
    }
    const QString folder = qEnvironmentVariable("BRISORA_CAPTURAS");
    if (!folder.isEmpty())
        frame->grab().save(QDir(folder).filePath(QStringLiteral("page-%1.png").arg(page)));
}

void TestPageLayout::frameShowsFivePagesInOrder() {
    fixture::Meter meter;
    Frame frame({meter->unknown()});
    QCOMPARE(frame->status(), com::S_OK);
    QStringList captions;
    for (int i = 0; i < frame->tabs()->count(); ++i)
        captions << frame->tabs()->tabText(i);
    QCOMPARE(captions, (QStringList{"General", "Appearance", "Scale", "Alarms", "Timer"}));
    QCOMPARE(frame->windowTitle(), QStringLiteral("Meter Properties"));
}

void TestPageLayout::frameButtons() {
    fixture::Meter meter;
    Frame frame({meter->unknown()});
    QCOMPARE(frame->okButton()->text(), QStringLiteral("OK"));
    QCOMPARE(frame->cancelButton()->text(), QStringLiteral("Cancel"));
    QCOMPARE(frame->applyButton()->text(), QStringLiteral("&Apply"));
    QCOMPARE(frame->helpButton()->text(), QStringLiteral("Help"));
    QVERIFY(frame->okButton()->isDefault());
    QVERIFY(!frame->applyButton()->isEnabled());
    frame.type(General, CGAUGEKITPropPage::IDC_WINDOW_BORDER_WIDTH, QStringLiteral("3"));
    QVERIFY(frame->applyButton()->isEnabled());
    frame.apply();
    QVERIFY(!frame->applyButton()->isEnabled());

    // Help: the page's own text, naming its help context.
    forms::MessageBoxRecorder boxes;
    frame.open(Timer);
    frame->helpButton()->click();
    QCOMPARE(boxes.requests().size(), 1);
    QVERIFY(boxes.requests().first().text.startsWith(QStringLiteral("Timer Help")));
    QVERIFY(boxes.requests().first().text.contains(QStringLiteral("730")));

    // Escape cancels.
    QTest::keyClick(&*frame, Qt::Key_Escape);
    QCOMPARE(frame->result(), int(QDialog::Rejected));
}

void TestPageLayout::returnInAFieldIsOk() {
    fixture::Meter meter;
    Frame frame({meter->unknown()});
    // The first control in tab order has the focus; Return there is still OK.
    QCOMPARE(QApplication::focusWidget(),
             frame.field(General, CGAUGEKITPropPage::IDC_WINDOW_BACKGROUND));
    frame.type(General, CGAUGEKITPropPage::IDC_WINDOW_BORDER_WIDTH, QStringLiteral("7"));
    QTest::keyClick(frame.edit(General, CGAUGEKITPropPage::IDC_WINDOW_BORDER_WIDTH),
                    Qt::Key_Return);
    QCOMPARE(frame->result(), int(QDialog::Accepted));
    QCOMPARE(meter.get(gaugekit::dispid::WindowBorderThickness).i4Value(), 7);
}

QTEST_MAIN(TestPageLayout)
#include "tst_pagelayout.moc"
