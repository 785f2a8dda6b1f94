#include "ReadingFeed.h"

#include "WaveReadings.h"

ReadingFeed::ReadingFeed(QList<QList<double>> rows, QObject* parent)
    : QObject(parent)
    , m_rows(std::move(rows)) {
    connect(&m_timer, &QTimer::timeout, this, &ReadingFeed::tick);
}

void ReadingFeed::start(int intervalMs) {
    m_timer.start(intervalMs);
}

void ReadingFeed::tick() {
    const int n = m_tick++;
    emit reading(m_rows.isEmpty() ? WaveReadings::at(n) : m_rows.at(n % m_rows.size()));
}
