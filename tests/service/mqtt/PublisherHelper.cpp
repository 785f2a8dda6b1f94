// Publishes a made-up reading every 200 ms to the broker given, until SIGTERM (which shuts the
// publisher down as the service does) or SIGKILL (which leaves the broker the last will).
//   mqtt_publisher_helper <broker url> <station>

#include "mqtt/MqttPublisher.h"

#include <QDateTime>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onTerm(int) {
    g_stop = 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mqtt_publisher_helper <broker url> <station>\n");
        return 2;
    }
    std::signal(SIGTERM, onTerm);
    mqtt::MqttOptions options;
    options.url = QString::fromLocal8Bit(argv[1]);
    options.station = QString::fromLocal8Bit(argv[2]);
    mqtt::MqttPublisher publisher(options, [](mqtt::LogPriority priority, const QString& text) {
        std::fprintf(stderr, "<%d>%s\n", static_cast<int>(priority), qPrintable(text));
    });
    QString error;
    if (com::failed(publisher.start(&error))) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    for (quint16 i = 0; !g_stop; ++i) {
        publisher.publish(
            archive::Entry::reading(QDateTime::currentMSecsSinceEpoch(), 50.0, 101.3, i, i));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    publisher.shutdown();
    return 0;
}
