// meterlab against the real module (registered into a fresh registry on first use): the event
// log's lines, the property grid from type information with edits through dispatch, two
// meters with the current one following clicks, saving, and the property frame on F4.
#include "EventLogText.h"
#include "GaugeKitIds.h"
#include "MeterLabWindow.h"

#include <Choosers.h>

#include <com/ControlSite.h>
#include <com/PropertyFrame.h>
#include <forms/MessageBox.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

class TestMeterLab : public QObject {
    Q_OBJECT
private slots:
    void init();
    void eventLines_data();
    void eventLines();
    void gridShowsEveryProperty();
    void gridEditsGoThroughDispatch();
    void twoMetersAndTheCurrentOne();
    void openTellsWhyTheFileCannotBeOpened_data();
    void openTellsWhyTheFileCannotBeOpened();
    void saveWritesTheMetersFile();
    void propertiesOpenOnGeneralAndRefreshTheGrid();
    void windowDeletedUnderThePropertyFrame();
    void openReadsNoMoreThanTheMeterAsksFor();
    void failedSaveAsKeepsTheMetersFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMeterLab::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("BRISORA_REGISTRY", m_dir->filePath(QStringLiteral("registry.json")).toUtf8());
}

void TestMeterLab::eventLines_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<com::VariantList>("args");
    QTest::addColumn<QString>("line");
    QTest::newRow("alarm")
        << int(gaugekit::eventid::OnAlarmEvent)
        << com::VariantList{com::Variant(std::int32_t(0)), com::Variant(std::int32_t(1)),
                            com::Variant(9.5), com::Variant(true)}
        << R"({"t_ms":120,"meter":1,"event":"OnAlarmEvent","channel":0,"code":1,"value":9.5,"alarm":true})";
    QTest::newRow("timer") << int(gaugekit::eventid::OnInternalTimer) << com::VariantList{}
                           << R"({"t_ms":120,"meter":1,"event":"OnInternalTimer"})";
    QTest::newRow("key press") << int(com::DISPID_KEYPRESS)
                               << com::VariantList{com::Variant(std::int16_t(65))}
                               << R"({"t_ms":120,"meter":1,"event":"KeyPress","keyAscii":65})";
    QTest::newRow("mouse")
        << int(com::DISPID_MOUSEDOWN)
        << com::VariantList{com::Variant(std::int16_t(1)), com::Variant(std::int16_t(0)),
                            com::Variant(std::int32_t(5)), com::Variant(std::int32_t(6))}
        << R"({"t_ms":120,"meter":1,"event":"MouseDown","button":1,"shift":0,"x":5,"y":6})";
    // Regression: these two were logged by number.
    QTest::newRow("ready state") << int(com::DISPID_READYSTATECHANGE) << com::VariantList{}
                                 << R"({"t_ms":120,"meter":1,"event":"ReadyStateChange"})";
    QTest::newRow("error")
        << int(com::DISPID_ERROREVENT)
        << com::VariantList{com::Variant(std::int16_t(380)),
                            com::Variant(QStringLiteral("x")),
                            com::Variant(std::int32_t(-1)),
                            com::Variant(QStringLiteral("m")),
                            com::Variant(QString()),
                            com::Variant(std::int32_t(0)),
                            com::Variant(false)}
        << R"({"t_ms":120,"meter":1,"event":"Error","number":380,"description":"x","scode":-1,)"
           R"("source":"m","helpFile":"","helpContext":0,"cancelDisplay":false})";
    QTest::newRow("unknown") << 77 << com::VariantList{com::Variant(QStringLiteral("a\"b"))}
                             << R"({"t_ms":120,"meter":1,"event":"77","arg0":"a\"b"})";
}

void TestMeterLab::eventLines() {
    QFETCH(int, id);
    QFETCH(com::VariantList, args);
    QFETCH(QString, line);
    QCOMPARE(EventLogText::line(120, 1, id, args), line);
}

void TestMeterLab::gridShowsEveryProperty() {
    MeterLabWindow window;
    QVERIFY(window.openMeter());
    const PropertyGridModel& grid = window.grid();
    QCOMPARE(grid.propertyCount(), 53);
    QCOMPARE(grid.indexedCount(), 7);
    QCOMPARE(window.gridView()->topLevelItemCount(), 60);
    for (const auto& row : grid.rows()) {
        if (row.name == QLatin1String("TitleString"))
            QCOMPARE(row.values.size(), 3);
        if (row.name == QLatin1String("MeterChannelColor"))
            QCOMPARE(row.values.size(), 5);
        if (row.name == QLatin1String("MeterStopArc"))
            QCOMPARE(row.values, QStringList{QStringLiteral("180")});
        if (row.name == QLatin1String("MeterArcEnable"))
            QCOMPARE(row.type, QStringLiteral("Bool"));
    }
}

namespace {

int rowOf(const PropertyGridModel& grid, const QString& name) {
    for (int i = 0; i < grid.rows().size(); ++i) {
        if (grid.rows()[i].name == name)
            return i;
    }
    return -1;
}

} // namespace

void TestMeterLab::gridEditsGoThroughDispatch() {
    MeterLabWindow window;
    QVERIFY(window.openMeter());
    com::ControlSite* site = window.currentMeter();
    QCOMPARE(window.editProperty(rowOf(window.grid(), "MeterType"), -1, "2"), com::S_OK);
    com::Variant v;
    QVERIFY(com::succeeded(site->getProperty(QStringLiteral("MeterType"), &v)));
    QCOMPARE(v, com::Variant(std::int32_t(2)));
    QCOMPARE(window.editProperty(rowOf(window.grid(), "MeterArcEnable"), -1, "false"), com::S_OK);
    QVERIFY(com::succeeded(site->getProperty(QStringLiteral("MeterArcEnable"), &v)));
    QCOMPARE(v.boolValue(), false);
    QCOMPARE(window.editProperty(rowOf(window.grid(), "TitleString"), 2, "Footer"), com::S_OK);
    QVERIFY(com::succeeded(site->getIndexedProperty(gaugekit::dispid::TitleString, 2, &v)));
    QCOMPARE(v.stringValue(), QStringLiteral("Footer"));
    // Refused: the control's coercion answers, and the error is shown.
    const com::HRESULT hr = window.editProperty(rowOf(window.grid(), "MeterScaleMax"), -1, "lots");
    QCOMPARE(hr, com::DISP_E_TYPEMISMATCH);
    QVERIFY(window.statusBar()->currentMessage().contains(QStringLiteral("DISP_E_TYPEMISMATCH")));
    // The refusal stayed in the status bar after later edits succeeded.
    QCOMPARE(window.editProperty(rowOf(window.grid(), "MeterScaleMax"), -1, "80"), com::S_OK);
    QVERIFY(window.statusBar()->currentMessage().isEmpty());
}

void TestMeterLab::twoMetersAndTheCurrentOne() {
    MeterLabWindow window;
    window.show();
    QVERIFY(window.openMeter());
    QVERIFY(window.openMeter());
    QCOMPARE(window.meterCount(), 2);
    QCOMPARE(window.currentIndex(), 1);
    QTest::mouseClick(window.meter(0)->controlWindow(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(window.currentIndex(), 0);
    QVERIFY(window.eventLog()->toPlainText().contains(
        QStringLiteral("\"meter\":0,\"event\":\"Click\"")));
}

void TestMeterLab::openTellsWhyTheFileCannotBeOpened_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("missing") << QStringLiteral("missing.SER");
    QTest::newRow("folder") << QString();
}

// Every file that could not be opened (a folder too) was told as not found.
void TestMeterLab::openTellsWhyTheFileCannotBeOpened() {
    QFETCH(QString, name);
    const QString path = name.isEmpty() ? m_dir->path() : m_dir->filePath(name);
    QFile probe(path);
    QVERIFY(!probe.open(QIODevice::ReadOnly));
    QVERIFY(!probe.errorString().isEmpty());
    MeterLabWindow window;
    QVERIFY(window.openMeter());
    forms::MessageBoxRecorder boxes;
    QVERIFY(!window.openMeter(path));
    QCOMPARE(window.meterCount(), 1);
    QCOMPARE(boxes.requests().size(), 1);
    QVERIFY2(boxes.requests().first().text.contains(probe.errorString()),
             qPrintable(boxes.requests().first().text));
    QVERIFY(!boxes.requests().first().text.contains(QStringLiteral("STG_E_FILENOTFOUND")));
}

void TestMeterLab::saveWritesTheMetersFile() {
    const QString path = m_dir->filePath(QStringLiteral("Meter.SER"));
    {
        testsupport::Choosers choosers;
        choosers.file = path;
        MeterLabWindow window;
        QVERIFY(window.openMeter());
        QCOMPARE(
            window.currentMeter()->setProperty(QStringLiteral("MeterScaleMax"), com::Variant(42.0)),
            com::S_OK);
        QCOMPARE(window.command(QStringLiteral("save"))->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_S));
        window.command(QStringLiteral("save"))->trigger(); // no file yet: Save As
        QCOMPARE(window.fileOf(0), path);
        QVERIFY(QFile::exists(path));
        for (const forms::FileRequest& r : choosers.fileRequests) { // only a meter file to save
            QVERIFY(r.save);
            QCOMPARE(r.defaultExtension, QStringLiteral("SER"));
        }
    }
    MeterLabWindow again;
    QVERIFY(again.openMeter(path));
    com::Variant v;
    QCOMPARE(again.currentMeter()->getProperty(QStringLiteral("MeterScaleMax"), &v), com::S_OK);
    QCOMPARE(v, com::Variant(42.0));
}

void TestMeterLab::propertiesOpenOnGeneralAndRefreshTheGrid() {
    MeterLabWindow window;
    window.show();
    QVERIFY(window.openMeter());
    QAction* properties = window.command(QStringLiteral("properties"));
    QCOMPARE(properties->shortcut(), QKeySequence(Qt::Key_F4));
    int currentPage = -1;
    QString focused;
    QString appliedValue;
    QTimer::singleShot(0, this, [&] {
        auto* frame = qobject_cast<com::PropertyFrame*>(QApplication::activeModalWidget());
        QVERIFY(frame);
        currentPage = frame->currentPage();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        if (QWidget* f = QApplication::focusWidget())
            focused = f->objectName();
        auto* width = frame->page(0)->Window()->findChild<QLineEdit*>(QStringLiteral("208"));
        width->setText(QStringLiteral("5"));
        emit width->textEdited(width->text());
        frame->applyButton()->click(); // the grid follows while the frame is open
        const int row = rowOf(window.grid(), QStringLiteral("WindowBorderThickness"));
        appliedValue = window.grid().rows()[row].values.value(0);
        frame->okButton()->click();
    });
    properties->trigger();
    QCOMPARE(currentPage, 0);
    QCOMPARE(focused, QStringLiteral("200"));
    QCOMPARE(appliedValue, QStringLiteral("5"));
    const int row = rowOf(window.grid(), QStringLiteral("WindowBorderThickness"));
    QCOMPARE(window.grid().rows()[row].values, QStringList{QStringLiteral("5")});
}

// The frame is the window's child: deleting the window while it is open closed the frame,
// and the window then told a failure on itself.
void TestMeterLab::windowDeletedUnderThePropertyFrame() {
    auto* window = new MeterLabWindow;
    QVERIFY(window->openMeter());
    forms::MessageBoxRecorder boxes;
    QPointer<QWidget> frame;
    bool sawFrame = false;
    QTimer::singleShot(0, this, [&] {
        frame = qobject_cast<com::PropertyFrame*>(QApplication::activeModalWidget());
        sawFrame = !frame.isNull();
        delete window;
    });
    window->showProperties();
    QVERIFY(sawFrame);
    QVERIFY(frame.isNull());
    QVERIFY(boxes.requests().isEmpty());
}

// The whole file was read before the meter looked at it: a device without end (or any huge
// file) exhausted memory.
void TestMeterLab::openReadsNoMoreThanTheMeterAsksFor() {
    const QString endless = QStringLiteral("/dev/zero");
    if (!QFile::exists(endless))
        QSKIP("no endless device here");
    MeterLabWindow window;
    forms::MessageBoxRecorder boxes;
    QVERIFY(!window.openMeter(endless));
    QCOMPARE(window.meterCount(), 0);
    QCOMPARE(boxes.requests().size(), 1);
    QVERIFY(boxes.requests().first().text.contains(QStringLiteral("STG_E_READFAULT")));
}

// A failed Save As pointed the meter at the file that was never written, so Save kept failing.
void TestMeterLab::failedSaveAsKeepsTheMetersFile() {
    const QString saved = m_dir->filePath(QStringLiteral("Meter.SER"));
    const QString unwritable = m_dir->filePath(QStringLiteral("missing/Other.SER"));
    testsupport::Choosers choosers;
    forms::MessageBoxRecorder boxes;
    MeterLabWindow window;
    QVERIFY(window.openMeter());
    choosers.file = saved;
    window.saveAs();
    QCOMPARE(window.fileOf(0), saved);
    const QString title = window.windowTitle();
    choosers.file = unwritable;
    window.saveAs();
    QCOMPARE(window.fileOf(0), saved);
    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(boxes.requests().size(), 1);
    QVERIFY(!QFile::exists(unwritable));
}

QTEST_MAIN(TestMeterLab)
#include "tst_meterlab.moc"
