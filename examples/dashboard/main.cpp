// gaugekit-dashboard [--csv FILE] [--interval MS]: three meters fed once per interval from the
// rows of FILE (humidity,pressure,wind1,wind2,wind3) or, with no FILE, from made-up readings.
// Exit status 2 when FILE cannot be read or holds no readings.
#include "CsvReadings.h"
#include "Dashboard.h"
#include "ReadingFeed.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("GAUGEKIT meters fed with readings"));
    parser.addHelpOption();
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Readings to play."),
                                 QStringLiteral("file"));
    const QCommandLineOption interval(QStringLiteral("interval"),
                                      QStringLiteral("Milliseconds between readings."),
                                      QStringLiteral("ms"), QStringLiteral("500"));
    parser.addOptions({csv, interval});
    parser.process(app);

    QList<QList<double>> rows;
    QString error;
    if (parser.isSet(csv) && !CsvReadings::load(parser.value(csv), 5, &rows, &error)) {
        qCritical("gaugekit-dashboard: %s", qPrintable(error));
        return 2;
    }
    Dashboard dashboard;
    ReadingFeed feed(rows);
    QObject::connect(&feed, &ReadingFeed::reading, &dashboard, &Dashboard::showReading);
    feed.start(std::max(10, parser.value(interval).toInt()));
    dashboard.show();
    return app.exec();
}
