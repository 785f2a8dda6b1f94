// meterctl as a user runs it: against a registry file of its own, on settings files, drawing
// meters that are compared with reference pictures kept here.
#include "Assignment.h"

#include "ImageCompare.h"
#include "ProgramRun.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>

namespace {

using Run = testsupport::ProgramRun;

// Pixels that differ by more than this in any channel count as different.
constexpr int kChannelTolerance = 48;
// At most this share of the pixels may differ (fonts and antialiasing vary a little).
constexpr double kDifferentShare = 0.02;

double differentShare(const QImage& a, const QImage& b) {
    return testsupport::differingShare(a, b, kChannelTolerance);
}

} // namespace

class TestMeterCtl : public QObject {
    Q_OBJECT
private slots:
    void init();
    void assignmentForms_data();
    void assignmentForms();
    void unregisteredClassIsExplained();
    void corruptRegistryIsNamedNotCalledTypeLibraryError();
    void saveThenDump();
    void savedExtent_data();
    void savedExtent();
    void refusals_data();
    void refusals();
    void renderings_data();
    void renderings();
    void vectorRenderings_data();
    void vectorRenderings();
    void watchKeepsEachMetersAlarmsApart();
    void watchReportsErrorsAndGoesOn();
    void watchShowsSimulatedValues();
    void watchSkipsTheWholeOverlongLine();
    void watchValuesWithASingleValue();

private:
    Run meterctl(const QStringList& args, const QByteArray& input = {});
    // The JSON lines of a watch run.
    QList<QJsonObject> watch(const QStringList& args, const QByteArray& commands);
    void registerModule();
    std::unique_ptr<QTemporaryDir> m_dir;
};

Run TestMeterCtl::meterctl(const QStringList& args, const QByteArray& input) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRISORA_REGISTRY"), m_dir->filePath(QStringLiteral("reg.json")));
    return testsupport::runProgram(QStringLiteral("meterctl"), args, env, m_dir->path(), input);
}

void TestMeterCtl::registerModule() {
    const Run r = meterctl({QStringLiteral("register")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
}

void TestMeterCtl::init() {
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestMeterCtl::assignmentForms_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    const int none = INT_MIN;
    QTest::newRow("plain") << "MeterScaleMax=100" << true << "MeterScaleMax" << none << "100";
    QTest::newRow("indexed") << "TitleString[2]=a=b" << true << "TitleString" << 2 << "a=b";
    QTest::newRow("empty value") << "MeterUnitsString=" << true << "MeterUnitsString" << none << "";
    QTest::newRow("negative index") << "TitleFont[-1]=x" << true << "TitleFont" << -1 << "x";
    QTest::newRow("no equals") << "MeterScaleMax" << false << "" << 0 << "";
    QTest::newRow("index too large") << "TitleFont[99999999999]=x" << false << "" << 0 << "";
    QTest::newRow("no name") << "=5" << false << "" << 0 << "";
}

void TestMeterCtl::assignmentForms() {
    QFETCH(QString, argument);
    QFETCH(bool, valid);
    const auto a = Assignment::parse(argument);
    QCOMPARE(a.has_value(), valid);
    if (!valid)
        return;
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QString, text);
    QCOMPARE(a->name, name);
    QCOMPARE(a->index.value_or(INT_MIN), index);
    QCOMPARE(a->text, text);
}

void TestMeterCtl::unregisteredClassIsExplained() {
    const Run r = meterctl({QStringLiteral("save"), QStringLiteral("x.SER")});
    QVERIFY(r.exitCode != 0);
    QVERIFY2(r.err.contains(QLatin1String("meterctl register")), qPrintable(r.err));
}

void TestMeterCtl::corruptRegistryIsNamedNotCalledTypeLibraryError() {
    QFile bad(m_dir->filePath(QStringLiteral("reg.json")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(R"({"keys":{"x":5}})");
    bad.close();
    const Run r = meterctl({QStringLiteral("register")});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QLatin1String("REGDB_E_READREGDB")), qPrintable(r.err));
    QVERIFY2(!r.err.contains(QLatin1String("TYPELIB")), qPrintable(r.err));
    QVERIFY2(r.err.contains(bad.fileName() + QLatin1String(" is corrupt")), qPrintable(r.err));
}

void TestMeterCtl::saveThenDump() {
    registerModule();
    const Run saved = meterctl(
        {QStringLiteral("save"), QStringLiteral("m.SER"), QStringLiteral("MeterScaleMax=115.5"),
         QStringLiteral("windowbackgroundcolor=0xE0E0FF"), QStringLiteral("MeterArcEnable=false"),
         QStringLiteral("MeterNumChannels=2.5"), QStringLiteral("TitleString[2]=Presión kPa"),
         QStringLiteral("MeterChannelColor[4]=255")});
    QVERIFY2(saved.exitCode == 0, qPrintable(saved.err));
    const Run dumped = meterctl({QStringLiteral("dump"), QStringLiteral("m.SER")});
    QVERIFY2(dumped.exitCode == 0, qPrintable(dumped.err));
    const QJsonObject json = QJsonDocument::fromJson(dumped.out.toUtf8()).object();
    QCOMPARE(json.size(), 53 + 7);
    QCOMPARE(json.value(QStringLiteral("MeterScaleMax")).toDouble(), 115.5);
    QCOMPARE(json.value(QStringLiteral("WindowBackgroundColor")).toInt(), 0xE0E0FF);
    QCOMPARE(json.value(QStringLiteral("MeterArcEnable")), QJsonValue(false));
    QCOMPARE(json.value(QStringLiteral("MeterNumChannels")).toInt(), 2);
    QCOMPARE(json.value(QStringLiteral("MeterStopArc")).toInt(), 180);
    QCOMPARE(json.value(QStringLiteral("TitleString")).toArray(),
             QJsonArray({"Meter", "", "Presión kPa"}));
    QCOMPARE(json.value(QStringLiteral("MeterChannelColor")).toArray().at(4).toInt(), 255);
    QCOMPARE(json.value(QStringLiteral("MeterChannelTagName")).toArray().size(), 5);
}

void TestMeterCtl::savedExtent_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QSize>("extent");
    QTest::newRow("new control") << QStringList{} << QSize(5292, 5292);
    QTest::newRow("HIMETRIC") << QStringList{"--extent", "6853x4260"} << QSize(6853, 4260);
    QTest::newRow("pixels") << QStringList{"--size", "259x161"} << QSize(6853, 4260);
}

void TestMeterCtl::savedExtent() {
    QFETCH(QStringList, options);
    QFETCH(QSize, extent);
    registerModule();
    const Run r = meterctl(QStringList{"save", "e.SER", "MeterScaleMax=20"} + options);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QFile file(m_dir->filePath(QStringLiteral("e.SER")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray head = file.read(12);
    QCOMPARE(qFromLittleEndian<qint32>(head.constData() + 4), extent.width());
    QCOMPARE(qFromLittleEndian<qint32>(head.constData() + 8), extent.height());
}

void TestMeterCtl::refusals_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown property")
        << QStringList{"save", "a.SER", "MeterColour=1"} << "no property MeterColour";
    QTest::newRow("not a number") << QStringList{"save", "a.SER", "MeterScaleMax=ten"}
                                  << "DISP_E_TYPEMISMATCH";
    QTest::newRow("too large") << QStringList{"save", "a.SER", "MeterTickLabelsSize=1e20"}
                               << "DISP_E_OVERFLOW";
    QTest::newRow("bad hexadecimal")
        << QStringList{"save", "a.SER", "MeterLineColor=0xZZ"} << "not a value";
    QTest::newRow("bad index") << QStringList{"save", "a.SER", "TitleString[3]=x"}
                               << "DISP_E_BADINDEX";
    QTest::newRow("index missing")
        << QStringList{"save", "a.SER", "TitleString=x"} << "needs an index";
    QTest::newRow("missing file") << QStringList{"dump", "missing.SER"} << "cannot open";
    QTest::newRow("not a settings file")
        << QStringList{"dump", "junk.SER"} << "not a meter settings file";
    QTest::newRow("unwritable") << QStringList{"save", "no/such/dir/a.SER"} << "cannot write";
}

void TestMeterCtl::refusals() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    registerModule();
    QFile junk(m_dir->filePath(QStringLiteral("junk.SER")));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a meter");
    junk.close();
    const Run r = meterctl(args);
    QVERIFY(r.exitCode != 0);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("a.SER"))));
}

void TestMeterCtl::renderings_data() {
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QStringList>("options");
    const QStringList humidity = {"MeterScaleMax=100",      "MeterTickStep=20",
                                  "MeterMinorTicks=3",      "MeterHighAlarmStart=80",
                                  "MeterHighAlarmStop=100", "MeterLowAlarmStop=15",
                                  "MeterDiameter=0.85",     "MeterCenterY=0.62",
                                  "TitleString[0]=Humedad", "MeterUnitsString=%"};
    QTest::newRow("needle") << humidity + QStringList{"MeterBorderStyle=3"}
                            << QStringList{"--value", "62"};
    QTest::newRow("arc in high alarm")
        << humidity + QStringList{"MeterType=1", "MeterBorderStyle=1"}
        << QStringList{"--value", "87"};
    QTest::newRow("pie dial") << humidity + QStringList{"MeterType=2",        "MeterBorderStyle=2",
                                                        "MeterStartArc=-45",  "MeterStopArc=225",
                                                        "MeterCenterY=0.55",  "MeterDiameter=0.7",
                                                        "WindowBorderStyle=2"}
                              << QStringList{"--size", "200x200", "--value", "40"};
    QTest::newRow("two needles, defaults")
        << QStringList{"MeterNumChannels=2", "MeterNeedleStyle=2", "MeterTickLabelsPosition=4",
                       "MeterTickPosition=4"}
        << QStringList{"--value", "3", "--value", "9.5"};
}

void TestMeterCtl::renderings() {
    QFETCH(QStringList, settings);
    QFETCH(QStringList, options);
    registerModule();
    const Run saved = meterctl(QStringList{"save", "r.SER"} + settings);
    QVERIFY2(saved.exitCode == 0, qPrintable(saved.err));
    const Run drawn = meterctl(QStringList{"render", "r.SER", "r.png"} + options);
    QVERIFY2(drawn.exitCode == 0, qPrintable(drawn.err));
    const QImage image(m_dir->filePath(QStringLiteral("r.png")));
    QVERIFY(!image.isNull());

    const QString name =
        QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-').remove(',') +
        QStringLiteral(".png");
    const QString reference = qEnvironmentVariable("BRISORA_SOURCE_DIR") +
                              QStringLiteral("/tests/tools/meterctl/references/") + name;
    if (qEnvironmentVariableIsSet("BRISORA_UPDATE_REFERENCES")) {
        QVERIFY(image.save(reference));
        QSKIP("reference written");
    }
    const QImage expected(reference);
    QVERIFY2(!expected.isNull(), qPrintable(QStringLiteral("no reference ") + reference));
    const double share = differentShare(image, expected);
    if (share > kDifferentShare)
        image.save(QDir::temp().filePath(QStringLiteral("meterctl-actual-") + name));
    QVERIFY2(share <= kDifferentShare, qPrintable(QString::number(share)));
}

void TestMeterCtl::vectorRenderings_data() {
    QTest::addColumn<QString>("picture");
    QTest::newRow("SVG") << "r.svg";
    QTest::newRow("PDF") << "r.PDF";
}

void TestMeterCtl::vectorRenderings() {
    QFETCH(QString, picture);
    registerModule();
    QVERIFY(meterctl({"save", "r.SER", "TitleString[0]=Presión"}).exitCode == 0);
    const Run drawn = meterctl({"render", "r.SER", picture, "--value", "4"});
    QVERIFY2(drawn.exitCode == 0, qPrintable(drawn.err));
    const QByteArray bytes = testsupport::fileBytes(m_dir->filePath(picture));
    QVERIFY(bytes.startsWith("<?xml") || bytes.startsWith("%PDF-"));
    QCOMPARE(meterctl({"render", "r.SER", "r.gif"}).exitCode, 64);
}

QList<QJsonObject> TestMeterCtl::watch(const QStringList& args, const QByteArray& commands) {
    const Run r = meterctl(QStringList{"watch"} + args, commands);
    QList<QJsonObject> lines;
    for (const QString& line : r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines.append(QJsonDocument::fromJson(line.toUtf8()).object());
    if (r.exitCode != 0)
        qWarning("%s", qPrintable(r.err));
    return lines;
}

namespace {

QList<QJsonObject> eventsOf(const QList<QJsonObject>& lines, const QString& event, int meter) {
    QList<QJsonObject> found;
    for (const QJsonObject& o : lines) {
        if (o.value("event").toString() == event && o.value("meter").toInt() == meter)
            found.append(o);
    }
    return found;
}

} // namespace

void TestMeterCtl::watchKeepsEachMetersAlarmsApart() {
    registerModule();
    QVERIFY(meterctl({"save", "a.SER"}).exitCode == 0);
    QVERIFY(meterctl({"save", "b.SER", "MeterHighAlarmStart=5"}).exitCode == 0);
    const auto lines = watch({"a.SER", "b.SER"}, "value 1 0 6\nvalue 0 0 9.5\nvalue 0 0 3\nquit\n");
    QCOMPARE(eventsOf(lines, "DrawReady", 0).size(), 1);
    QCOMPARE(eventsOf(lines, "DrawReady", 1).size(), 1);
    const auto first = eventsOf(lines, "OnAlarmEvent", 0);
    const auto second = eventsOf(lines, "OnAlarmEvent", 1);
    QCOMPARE(first.size(), 2);
    QCOMPARE(second.size(), 1);
    QCOMPARE(first[0].value("code").toInt(), 1);
    QCOMPARE(first[0].value("value").toDouble(), 9.5);
    QCOMPARE(first[0].value("alarm").toBool(), true);
    QCOMPARE(first[1].value("code").toInt(), 0);
    QCOMPARE(first[1].value("alarm").toBool(), false);
    QCOMPARE(second[0].value("value").toDouble(), 6.0);
    QVERIFY(first[0].contains("t_ms"));
}

void TestMeterCtl::watchReportsErrorsAndGoesOn() {
    registerModule();
    QVERIFY(meterctl({"save", "a.SER"}).exitCode == 0);
    const auto lines = watch({"a.SER"}, "set 0 NoSuchName 1\n"
                                        "set 0 TitleString 1\n"
                                        "get 0 TitleString[9]\n"
                                        "value 3 0 1\n"
                                        "set 0 TitleString[0] Two words\n"
                                        "get 0 TitleString[0]\n"
                                        "save 0 saved.SER\n");
    QList<QString> codes;
    for (const QJsonObject& o : lines) {
        if (o.contains("error"))
            codes.append(o.value("hresult").toString());
    }
    QCOMPARE(codes, (QList<QString>{"0x80020006", "0x8002000E", "0x8002000B", "0x8002000B"}));
    const QJsonObject title =
        lines.last().contains("saved") ? lines[lines.size() - 2] : lines.last();
    QCOMPARE(title.value("value").toString(), QStringLiteral("Two words"));
    QVERIFY(QFileInfo::exists(m_dir->filePath("saved.SER")));
    // Regression: with nothing after the name a text could not be emptied.
    const auto cleared = watch({"saved.SER"}, "set 0 TitleString[0]\nget 0 TitleString[0]\n");
    QCOMPARE(cleared.size(), 2); // DrawReady, then the value
    QCOMPARE(cleared.last().value("value").toString(), QString());
    QVERIFY(cleared.last().contains("value"));
}

void TestMeterCtl::watchShowsSimulatedValues() {
    registerModule();
    QVERIFY(meterctl({"save", "s.SER", "EnableInternalTimer=true", "TimerFrequency=50",
                      "SDataSimulationMode=true", "MeterScaleMin=110", "MeterScaleMax=90"})
                .exitCode == 0);
    const auto lines = watch({"s.SER", "--seconds", "0.5"}, "get 0 Value[0]\n");
    QVERIFY(!lines.isEmpty());
    const double v = lines.last().value("value").toDouble();
    QVERIFY2(v >= 98.0 && v <= 102.0, qPrintable(QString::number(v)));
    QVERIFY(eventsOf(lines, "OnInternalTimer", 0).isEmpty());
}

// Regression: after "command line too long" the rest of that line was read as a new command
// ("unknown command aaaa...").
void TestMeterCtl::watchSkipsTheWholeOverlongLine() {
    registerModule();
    QVERIFY(meterctl({"save", "a.SER"}).exitCode == 0);
    const QByteArray overlong = "set 0 TitleString[0] " + QByteArray(200 * 1024, 'a') + "\n";
    const auto lines =
        watch({"a.SER"}, overlong + "get 0 TitleString[0]\n" + overlong + "values 0 7\n");
    QStringList errors;
    for (const QJsonObject& o : lines) {
        if (o.contains("error"))
            errors.append(o.value("error").toString());
    }
    QCOMPARE(errors, (QStringList{"command line too long", "command line too long"}));
    // The commands after each overlong line run as usual; the title was never set.
    const auto title = std::find_if(lines.begin(), lines.end(),
                                    [](const QJsonObject& o) { return o.contains("value"); });
    QVERIFY(title != lines.end());
    QVERIFY(!title->value("value").toString().contains(QStringLiteral("aaaa")));
}

void TestMeterCtl::watchValuesWithASingleValue() {
    registerModule();
    QVERIFY(meterctl({"save", "one.SER"}).exitCode == 0);
    const auto lines = watch({"one.SER"}, "values 0 7.5\nget 0 Value[0]\n");
    QVERIFY(!lines.isEmpty());
    for (const QJsonObject& o : lines)
        QVERIFY2(!o.contains("error"), qPrintable(o.value("error").toString()));
    QCOMPARE(lines.last().value("value").toDouble(), 7.5);
}

QTEST_MAIN(TestMeterCtl)
#include "tst_meterctl.moc"
