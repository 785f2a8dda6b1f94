// Hands the dashboard one row of readings per tick: the rows of a CSV file in turn (starting
// over at the end), or made-up readings.
#pragma once

#include <QList>
#include <QObject>
#include <QTimer>

class ReadingFeed : public QObject {
    Q_OBJECT
public:
    // No rows: made-up readings.
    explicit ReadingFeed(QList<QList<double>> rows = {}, QObject* parent = nullptr);
    void start(int intervalMs);

signals:
    void reading(const QList<double>& values);

private:
    void tick();

    QList<QList<double>> m_rows;
    QTimer m_timer;
    int m_tick = 0;
};
