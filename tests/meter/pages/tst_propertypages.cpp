// The page scheme and the General page through the property frame: refused fields, what
// reaches the meter, the title switch, the colour and font choosers, the settings files and
// the refresh of open pages, which meter the pages find.
#include "PageFixture.h"

#include "CGAUGEKITPropPage.h"
#include "CMScalPPg.h"
#include "CTimerPPg.h"
#include "GaugeKitIds.h"
#include "GaugeKitModule.h"

#include <forms/MessageBox.h>

#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace gaugekit;
using namespace gaugekit::pages;
using namespace pagefixture;
using P = CGAUGEKITPropPage;

class TestPropertyPages : public QObject {
    Q_OBJECT
private slots:
    void refusedField_data();
    void refusedField();
    void okStaysOpenOnRefusedFieldAndClosesOtherwise();
    void refusedFieldOnAHiddenPageTakesTheKeys();
    void emptyFifthBorderStyleIsFour();
    void editedTitleSurvivesTheTitleSwitch();
    void valuesWithoutEntryGoBackUnchanged();
    void colorChooserAndCancel();
    void fontChooserKeepsWholePointsAndExactBold_data();
    void fontChooserKeepsWholePointsAndExactBold();
    void hugeStoredFontSizeReachesTheChooserBounded();
    void applyBeforeTheFirstDrawingIsKept();
    void saveWithRefusedFieldWritesTheMetersValues();
    void loadRefreshesTheOtherOpenPages();
    void failedSaveIsReported();
    void damagedLoadIsReportedAndThePageShowsTheMeter();
    void textInAnEnumeratedPropertyIsRefusedOnLoad();
    void comboBoxesShowTheStartOfTheirText();
    void rememberedPagesRefreshInOrder();
    void pagesEditTheMeterTheyWereGiven();
    void wrapperObjectFallsBackToTheCurrentMeter();
    void noMeterDisablesTheFields();
};

void TestPropertyPages::refusedField_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("message");
    QTest::newRow("width 11") << int(P::IDC_WINDOW_BORDER_WIDTH) << "11" << false
                              << "Window border width: please enter an integer from 0 to 10.";
    QTest::newRow("width 10") << int(P::IDC_WINDOW_BORDER_WIDTH) << "10" << true << "";
    QTest::newRow("width not a number") << int(P::IDC_WINDOW_BORDER_WIDTH) << "x" << false
                                        << "Window border width: please enter an integer from "
                                           "0 to 10.";
    QTest::newRow("thickness -1") << int(P::IDC_METER_BORDER_THICKNESS) << "-1" << false
                                  << "Meter border line thickness: please enter an integer from "
                                     "0 to 10.";
    QTest::newRow("height 0.05") << int(P::IDC_BORDER_HEIGHT) << "0.05" << false
                                 << "Border size height: please enter a number from 0.1 to 1.0.";
    QTest::newRow("height 1.5") << int(P::IDC_BORDER_HEIGHT) << "1.5" << false
                                << "Border size height: please enter a number from 0.1 to 1.0.";
    QTest::newRow("height 0.1") << int(P::IDC_BORDER_HEIGHT) << "0.1" << true << "";
    QTest::newRow("width 1.0") << int(P::IDC_BORDER_WIDTH) << "1.0" << true << "";
    QTest::newRow("width text") << int(P::IDC_BORDER_WIDTH) << "wide" << false
                                << "Border size width: please enter a number from 0.1 to 1.0.";
}

void TestPropertyPages::refusedField() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QString, message);
    fixture::Meter meter;
    const QByteArray before = meter.saveStream();
    Frame frame({meter->unknown()});
    frame.open(General);
    forms::MessageBoxRecorder boxes;
    frame.type(General, id, text);
    // A field read before the refused one keeps its new contents, but nothing reaches the meter.
    frame.type(General, P::IDC_TITLE_TEXT, QStringLiteral("Edited"));
    frame.apply();
    if (accepted) {
        QVERIFY(boxes.requests().isEmpty());
        QCOMPARE(meter.getAt(dispid::TitleString, 0).stringValue(), QStringLiteral("Edited"));
        return;
    }
    QCOMPARE(boxes.requests().size(), 1);
    QCOMPARE(boxes.requests().first().text, message);
    QCOMPARE(meter.saveStream(), before);
    QCOMPARE(frame->currentPage(), int(General));
    QCOMPARE(QApplication::focusWidget(), frame.field(General, id));
    QVERIFY(frame->applyButton()->isEnabled());
}

void TestPropertyPages::okStaysOpenOnRefusedFieldAndClosesOtherwise() {
    fixture::Meter meter;
    Frame frame({meter->unknown()});
    forms::MessageBoxRecorder boxes;
    frame.type(General, P::IDC_WINDOW_BORDER_WIDTH, QStringLiteral("11"));
    frame.open(Scale); // the refused page comes back to the front
    frame->okButton()->click();
    QVERIFY(frame->isVisible());
    QCOMPARE(frame->currentPage(), int(General));
    QCOMPARE(meter.get(dispid::WindowBorderThickness).i4Value(), 1);
    frame.type(General, P::IDC_WINDOW_BORDER_WIDTH, QStringLiteral("4"));
    frame->okButton()->click();
    QVERIFY(!frame->isVisible());
    QCOMPARE(frame->result(), int(QDialog::Accepted));
    QCOMPARE(meter.get(dispid::WindowBorderThickness).i4Value(), 4);
}

// The frame switched to the refused page but the focus stayed on its first control, so the next
// keys changed another field ("20" became "205").
void TestPropertyPages::refusedFieldOnAHiddenPageTakesTheKeys() {
    fixture::Meter meter;
    Frame frame({meter->unknown()});
    forms::MessageBoxRecorder boxes;
    frame.type(General, P::IDC_BORDER_WIDTH, QStringLiteral("20"));
    frame.open(Scale);
    frame.apply();
    QCOMPARE(boxes.requests().size(), 1);
    QCOMPARE(frame->currentPage(), int(General));
    QLineEdit* refused = frame.edit(General, P::IDC_BORDER_WIDTH);
    QCOMPARE(QApplication::focusWidget(), refused);
    QCOMPARE(refused->selectedText(), QStringLiteral("20"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("0.5"));
    QCOMPARE(refused->text(), QStringLiteral("0.5"));
    QCOMPARE(frame.edit(General, P::IDC_WINDOW_BORDER_WIDTH)->text(), QStringLiteral("1"));
    frame->okButton()->click();
    QCOMPARE(frame->result(), int(QDialog::Accepted));
    QCOMPARE(meter.get(dispid::MeterBorderWidth).r8Value(), 0.5);
}

void TestPropertyPages::emptyFifthBorderStyleIsFour() {
    fixture::Meter meter;
    Frame frame({meter->unknown()});
    frame.pick(General, P::IDC_METER_BORDER_STYLE, 4);
    QCOMPARE(frame.combo(General, P::IDC_METER_BORDER_STYLE)->currentText(), QString());
    frame.pick(General, P::IDC_WINDOW_BORDER_STYLE, 2);
    frame.apply();
    QCOMPARE(meter.get(dispid::MeterBorderStyle).i4Value(), 4);
    QCOMPARE(meter.get(dispid::WindowBorderStyle).i4Value(), 2);
    QCOMPARE(meter->model().settings.meterBorderStyle, 4);
}

void TestPropertyPages::editedTitleSurvivesTheTitleSwitch() {
    fixture::Meter meter;
    meter.putAt(dispid::TitleString, 2, com::Variant(QStringLiteral("Foot")));
    Frame frame({meter->unknown()});
    frame.type(General, P::IDC_TITLE_TEXT, QStringLiteral("Humidity"));
    frame.pick(General, P::IDC_TITLE_SELECTION, 2);
    QCOMPARE(frame.edit(General, P::IDC_TITLE_TEXT)->text(), QStringLiteral("Foot"));
    QCOMPARE(meter.getAt(dispid::TitleString, 0).stringValue(), QStringLiteral("Meter"));
    frame.pick(General, P::IDC_TITLE_SELECTION, 0);
    QCOMPARE(frame.edit(General, P::IDC_TITLE_TEXT)->text(), QStringLiteral("Humidity"));
    frame.apply();
    QCOMPARE(meter.getAt(dispid::TitleString, 0).stringValue(), QStringLiteral("Humidity"));
    QCOMPARE(meter.getAt(dispid::TitleString, 2).stringValue(), QStringLiteral("Foot"));

    // A refused field during the switch is told, and the switch still happens.
    forms::MessageBoxRecorder boxes;
    frame.type(General, P::IDC_WINDOW_BORDER_WIDTH, QStringLiteral("99"));
    frame.pick(General, P::IDC_TITLE_SELECTION, 1);
    QCOMPARE(boxes.requests().size(), 1);
    QCOMPARE(frame.combo(General, P::IDC_TITLE_SELECTION)->currentIndex(), 1);
}

void TestPropertyPages::valuesWithoutEntryGoBackUnchanged() {
    fixture::Meter meter;
    meter.put(dispid::WindowBorderStyle, com::Variant(std::int32_t(7)));
    meter.put(dispid::WindowResizeMode, com::Variant(std::int32_t(3)));
    Frame frame({meter->unknown()});
    QCOMPARE(frame.combo(General, P::IDC_WINDOW_BORDER_STYLE)->currentIndex(), -1);
    frame.type(General, P::IDC_WINDOW_BORDER_WIDTH, QStringLiteral("2"));
    frame.apply();
    QCOMPARE(meter.get(dispid::WindowBorderStyle).i4Value(), 7);
    QCOMPARE(meter.get(dispid::WindowResizeMode).i4Value(), 3);
    QCOMPARE(meter->pageSite().resizeMode(), 3);
}

void TestPropertyPages::colorChooserAndCancel() {
    fixture::Meter meter;
    Choosers choosers;
    Frame frame({meter->unknown()});
    choosers.color = 0x123456;
    frame.click(General, P::IDC_WINDOW_BACKGROUND);
    QCOMPARE(choosers.colorRequests, QList<quint32>{0xC0C0C0});
    choosers.color.reset(); // Cancel: no change
    frame.click(General, P::IDC_WINDOW_BORDER_COLOR);
    QCOMPARE(meter.get(dispid::WindowBackgroundColor).i4Value(), 0xC0C0C0); // not before Apply
    frame.apply();
    QCOMPARE(meter.get(dispid::WindowBackgroundColor).i4Value(), 0x123456);
    QCOMPARE(meter.get(dispid::WindowBorderColor).i4Value(), 0);

    // The title colour edits the selected title only.
    choosers.color = 0x00FF00;
    frame.pick(General, P::IDC_TITLE_SELECTION, 1);
    frame.click(General, P::IDC_TITLE_COLOR);
    frame.apply();
    QCOMPARE(meter.getAt(dispid::TitleColor, 1).i4Value(), 0x00FF00);
    QCOMPARE(meter.getAt(dispid::TitleColor, 0).i4Value(), 0);
}

void TestPropertyPages::fontChooserKeepsWholePointsAndExactBold_data() {
    QTest::addColumn<int>("sizeTenths");
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("style");
    QTest::newRow("9 pt bold italic") << 90 << 700 << true << false << 9 << 3;
    QTest::newRow("weight 600 is not bold") << 120 << 600 << false << false << 12 << 0;
    QTest::newRow("weight 800 is not bold") << 120 << 800 << false << true << 12 << 4;
    QTest::newRow("10.5 pt is 10") << 105 << 400 << false << false << 10 << 0;
}

void TestPropertyPages::fontChooserKeepsWholePointsAndExactBold() {
    QFETCH(int, sizeTenths);
    QFETCH(int, weight);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(int, size);
    QFETCH(int, style);
    fixture::Meter meter;
    meter.putAt(dispid::TitleFontStyle, 0, com::Variant(std::int32_t(5)));
    Choosers choosers;
    Frame frame({meter->unknown()});
    choosers.font = forms::FontEffectsChoice{
        QStringLiteral("Liberation Serif"), sizeTenths, weight, italic, underline, true, 0x0000FF};
    frame.click(General, P::IDC_TITLE_FONT);
    QCOMPARE(choosers.fontRequests.size(), 1);
    const forms::FontEffectsChoice initial = choosers.fontRequests.first();
    QCOMPARE(initial.weight, 700);
    QVERIFY(!initial.italic);
    QVERIFY(initial.underline);
    QCOMPARE(initial.sizeTenths, meter.getAt(dispid::TitleFontSize, 0).i4Value() * 10);
    frame.apply();
    QCOMPARE(meter.getAt(dispid::TitleFont, 0).stringValue(), QStringLiteral("Liberation Serif"));
    QCOMPARE(meter.getAt(dispid::TitleFontSize, 0).i4Value(), size);
    QCOMPARE(meter.getAt(dispid::TitleFontStyle, 0).i4Value(), style);
    QCOMPARE(meter.getAt(dispid::TitleColor, 0).i4Value(), 0x0000FF);
}

void TestPropertyPages::hugeStoredFontSizeReachesTheChooserBounded() {
    fixture::Meter meter;
    meter.putAt(dispid::TitleFontSize, 0, com::Variant(std::int32_t(0x7FFFFFFF)));
    Choosers choosers; // Cancel
    Frame frame({meter->unknown()});
    frame.click(General, P::IDC_TITLE_FONT);
    QCOMPARE(choosers.fontRequests.first().sizeTenths, 16380);
    frame.apply();
    QCOMPARE(meter.getAt(dispid::TitleFontSize, 0).i4Value(), 0x7FFFFFFF);
}

void TestPropertyPages::applyBeforeTheFirstDrawingIsKept() {
    fixture::Meter meter;
    QVERIFY(!meter->hasDrawn());
    meter->setModifiedFlag(false);
    Frame frame({meter->unknown()});
    frame.type(General, P::IDC_METER_BORDER_THICKNESS, QStringLiteral("6"));
    frame.type(General, P::IDC_BORDER_WIDTH, QStringLiteral("0.5"));
    frame.apply();
    QCOMPARE(meter->model().settings.meterBorderThickness, 6);
    QCOMPARE(meter->model().settings.meterBorderWidth, 0.5);
    QCOMPARE(meter->store().meterBorderThickness, 6);
    QVERIFY(meter->isModified());
}

void TestPropertyPages::saveWithRefusedFieldWritesTheMetersValues() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Meter.SER"));
    fixture::Meter meter;
    meter.put(dispid::WindowBorderThickness, com::Variant(std::int32_t(3)));
    Choosers choosers;
    choosers.file = path;
    forms::MessageBoxRecorder boxes;
    Frame frame({meter->unknown()});
    frame.type(General, P::IDC_WINDOW_BORDER_WIDTH, QStringLiteral("11"));
    frame.click(General, P::IDC_SAVE);
    QCOMPARE(choosers.fileRequests.size(), 1);
    const forms::FileRequest& r = choosers.fileRequests.first();
    QVERIFY(r.save);
    QCOMPARE(r.filter, QStringLiteral("Serialization Files|*.SER||"));
    QCOMPARE(r.defaultExtension, QStringLiteral("SER"));
    QCOMPARE(r.fileName, QStringLiteral("Meter"));
    QVERIFY(r.overwritePrompt);
    QCOMPARE(boxes.requests().size(), 1);
    QVERIFY(QFile::exists(path));
    fixture::Meter other;
    bool opened = false;
    QCOMPARE(other->serializeLoadFile(path, &opened), com::S_OK);
    QVERIFY(opened);
    QCOMPARE(other.get(dispid::WindowBorderThickness).i4Value(), 3);
}

void TestPropertyPages::loadRefreshesTheOtherOpenPages() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.SER"));
    {
        fixture::Meter source;
        source.put(dispid::MeterScaleMax, com::Variant(250.0));
        source.put(dispid::TimerFrequency, com::Variant(5.0));
        source.put(dispid::WindowBorderThickness, com::Variant(std::int32_t(7)));
        QVERIFY(source->serializeSaveFile(path));
    }
    fixture::Meter meter;
    Choosers choosers;
    Frame frame({meter->unknown()});
    frame.open(Scale);
    frame.open(Timer);
    frame.open(General);
    QCOMPARE(frame.edit(Scale, CMScalPPg::IDC_SCALE_TO)->text(), QStringLiteral("10"));
    choosers.file = path;
    frame.click(General, P::IDC_LOAD);
    QVERIFY(!choosers.fileRequests.first().save);
    QVERIFY(choosers.fileRequests.first().mustExist);
    QCOMPARE(frame.edit(General, P::IDC_WINDOW_BORDER_WIDTH)->text(), QStringLiteral("7"));
    QCOMPARE(frame.edit(Scale, CMScalPPg::IDC_SCALE_TO)->text(), QStringLiteral("250"));
    QCOMPARE(frame.combo(Timer, CTimerPPg::IDC_FREQUENCY)->currentText(), QStringLiteral("5.0"));

    // Cancelling the file dialog changes nothing.
    choosers.file.reset();
    meter.put(dispid::WindowBorderThickness, com::Variant(std::int32_t(2)));
    frame.click(General, P::IDC_LOAD);
    QCOMPARE(frame.edit(General, P::IDC_WINDOW_BORDER_WIDTH)->text(), QStringLiteral("7"));
}

// Saving to a folder that does not exist said nothing: the user believed it saved.
void TestPropertyPages::failedSaveIsReported() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/Meter.SER"));
    fixture::Meter meter;
    Choosers choosers;
    choosers.file = path;
    forms::MessageBoxRecorder boxes;
    Frame frame({meter->unknown()});
    frame.click(General, P::IDC_SAVE);
    QCOMPARE(boxes.requests().size(), 1);
    const forms::MessageRequest& box = boxes.requests().first();
    QCOMPARE(box.text,
             QStringLiteral("Cannot save the settings to %1 (cannot create the file).").arg(path));
    QCOMPARE(box.icon, forms::MsgIcon::Exclamation);
    QVERIFY(!QFile::exists(path));
}

// A cut-short settings file loaded part of the settings and dropped the read fault in silence.
void TestPropertyPages::damagedLoadIsReportedAndThePageShowsTheMeter() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Short.SER"));
    {
        fixture::Meter source;
        source.put(dispid::WindowBorderThickness, com::Variant(std::int32_t(7)));
        QVERIFY(source->serializeSaveFile(path));
    }
    QFile file(path);
    QVERIFY(file.resize(file.size() - 4)); // the last array blob is cut short
    fixture::Meter meter;
    Choosers choosers;
    forms::MessageBoxRecorder boxes;
    Frame frame({meter->unknown()});
    frame.open(General);
    QCOMPARE(frame.edit(General, P::IDC_WINDOW_BORDER_WIDTH)->text(), QStringLiteral("1"));
    choosers.file = path;
    frame.click(General, P::IDC_LOAD);
    QCOMPARE(boxes.requests().size(), 1);
    QCOMPARE(boxes.requests().first().text,
             QStringLiteral("The settings file %1 is damaged or incomplete (STG_E_READFAULT). The "
                            "meter keeps the settings read before the fault.")
                 .arg(path));
    QCOMPARE(meter.get(dispid::WindowBorderThickness).i4Value(), 7);
    QCOMPARE(frame.edit(General, P::IDC_WINDOW_BORDER_WIDTH)->text(), QStringLiteral("7"));
}

// Text bytes read as a border style left the list blank, and the next save wrote 1701603686.
void TestPropertyPages::textInAnEnumeratedPropertyIsRefusedOnLoad() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Text.SER"));
    {
        fixture::Meter source;
        source.put(dispid::WindowBorderThickness, com::Variant(std::int32_t(7)));
        source.put(dispid::WindowBorderStyle, com::Variant(std::int32_t(2)));
        QVERIFY(source->serializeSaveFile(path));
    }
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(28)); // the window border style, after the header and three colours
        QCOMPARE(file.write("file"), qint64(4));
    }
    fixture::Meter meter;
    meter.put(dispid::WindowBorderStyle, com::Variant(std::int32_t(1)));
    Choosers choosers;
    forms::MessageBoxRecorder boxes;
    Frame frame({meter->unknown()});
    choosers.file = path;
    frame.click(General, P::IDC_LOAD);
    QCOMPARE(boxes.requests().size(), 1);
    QVERIFY(boxes.requests().first().text.contains(QStringLiteral("STG_E_READFAULT")));
    QCOMPARE(meter.get(dispid::WindowBorderStyle).i4Value(), 1);
    QCOMPARE(frame.combo(General, P::IDC_WINDOW_BORDER_STYLE)->currentText(),
             QStringLiteral("High"));
    // What follows the refused value was not read.
    QCOMPARE(meter.get(dispid::WindowBorderThickness).i4Value(), 1);
}

// Focus passing through a list left a long text scrolled to its end ("lain Header").
void TestPropertyPages::comboBoxesShowTheStartOfTheirText() {
    fixture::Meter meter;
    Frame frame({meter->unknown()});
    QComboBox* selection = frame.combo(General, P::IDC_TITLE_SELECTION);
    QComboBox* style = frame.combo(General, P::IDC_METER_BORDER_STYLE);
    frame.pick(General, P::IDC_METER_BORDER_STYLE, 3);
    frame.edit(General, P::IDC_TITLE_TEXT)->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), selection);
    // Tabbed in: the whole text selected, the caret (and the view) at its start.
    QCOMPARE(selection->lineEdit()->selectedText(), QStringLiteral("Main Header"));
    QCOMPARE(selection->lineEdit()->cursorPosition(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(selection->lineEdit()->cursorPosition(), 0);
    style->setFocus(Qt::TabFocusReason);
    style->lineEdit()->end(false);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(style->lineEdit()->cursorPosition(), 0);
    // The longest entry fits its box.
    const QFontMetrics metrics(style->lineEdit()->font());
    QVERIFY(metrics.horizontalAdvance(QStringLiteral("Rounded Rectangle")) <
            style->lineEdit()->width());
}

namespace {

// A page as the meter remembers it, recording when it is refreshed.
class RecordingPage : public RememberedPage {
public:
    RecordingPage(const QString& name, bool open, QStringList* log)
        : m_name(name)
        , m_open(open)
        , m_log(log) {}
    bool dialogOpen() const override { return m_open; }
    void refreshFromMeter() override { m_log->append(m_name); }

private:
    QString m_name;
    bool m_open;
    QStringList* m_log;
};

} // namespace

void TestPropertyPages::rememberedPagesRefreshInOrder() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.SER"));
    fixture::Meter meter;
    QVERIFY(meter->serializeSaveFile(path));
    QStringList log;
    RecordingPage general("General", true, &log), look("Appearance", true, &log),
        scale("Scale", true, &log), alarm("Alarms", true, &log), timer("Timer", true, &log),
        closed("closed", false, &log), gone("gone", true, &log);
    meter->rememberPage(PageKind::Scale, &scale);
    meter->rememberPage(PageKind::Look, &look);
    meter->rememberPage(PageKind::General, &closed);
    meter->rememberPage(PageKind::Alarm, &gone);
    meter->rememberPage(PageKind::Alarm, &alarm); // the last of its kind is remembered
    meter->rememberPage(PageKind::Timer, &timer);
    bool opened = false;
    QCOMPARE(meter->serializeLoadFile(path, &opened), com::S_OK);
    QCOMPARE(log, (QStringList{"Timer", "Alarms", "Appearance", "Scale"}));
    log.clear();
    meter->rememberPage(PageKind::General, &general);
    meter->forgetPage(&look);
    QCOMPARE(meter->serializeLoadFile(path, &opened), com::S_OK);
    QCOMPARE(log, (QStringList{"General", "Timer", "Alarms", "Scale"}));
}

void TestPropertyPages::pagesEditTheMeterTheyWereGiven() {
    fixture::Meter first;
    fixture::Meter second;
    // A click on the first makes it the current meter.
    GaugeKitModule::instance().setCurrent(&*first);
    QCOMPARE(GaugeKitModule::instance().current(), &*first);
    Frame frame({second->unknown()});
    frame.type(General, P::IDC_WINDOW_BORDER_WIDTH, QStringLiteral("9"));
    frame.apply();
    QCOMPARE(second.get(dispid::WindowBorderThickness).i4Value(), 9);
    QCOMPARE(first.get(dispid::WindowBorderThickness).i4Value(), 1);
}

namespace {

// A container's own object standing for the control: not the meter's dispatch interface.
class Wrapper : public com::IUnknown {
public:
    com::HRESULT QueryInterface(const com::Iid& iid, void** out) override {
        *out = nullptr;
        if (iid != com::IID_IUnknown)
            return com::E_NOINTERFACE;
        *out = this;
        return com::S_OK;
    }
    std::uint32_t AddRef() override { return ++refs; }
    std::uint32_t Release() override { return --refs; }
    std::uint32_t refs = 1;
};

} // namespace

void TestPropertyPages::wrapperObjectFallsBackToTheCurrentMeter() {
    fixture::Meter first;
    fixture::Meter second;
    GaugeKitModule::instance().setCurrent(&*first);
    Wrapper wrapper;
    {
        Frame frame({&wrapper});
        QVERIFY(wrapper.refs > 1); // the pages hold the objects they edit
        frame.type(General, P::IDC_WINDOW_BORDER_WIDTH, QStringLiteral("8"));
        frame.apply();
    }
    QCOMPARE(wrapper.refs, 1u);
    QCOMPARE(first.get(dispid::WindowBorderThickness).i4Value(), 8);
    QCOMPARE(second.get(dispid::WindowBorderThickness).i4Value(), 1);
}

void TestPropertyPages::noMeterDisablesTheFields() {
    QVERIFY(GaugeKitModule::instance().liveControls().isEmpty());
    Wrapper wrapper;
    Frame frame({&wrapper});
    MeterPropertyPage* page = frame.open(Alarm);
    QVERIFY(page->noMeterNotice());
    QCOMPARE(page->noMeterNotice()->text(), QStringLiteral("No meter is available to edit."));
    QVERIFY(!frame.field(Alarm, 231)->isEnabled());
    frame->okButton()->click();
    QVERIFY(!frame->isVisible());
}

QTEST_MAIN(TestPropertyPages)
#include "tst_propertypages.moc"
