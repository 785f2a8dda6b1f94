// Writes batches of 500 readings into the archive named on the command line without pause,
// printing the number of readings committed after each batch, until it is killed.

#include "archive/ArchiveDatabase.h"

#include "ArchiveRig.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        return 64;
    }
    archive::ArchiveDatabase db(QString::fromLocal8Bit(argv[1]));
    if (com::failed(db.open(archive::ArchiveDatabase::Mode::Write))) {
        return 1;
    }
    constexpr int kBatch = 500;
    for (qint64 committed = 0;; committed += kBatch) {
        if (com::failed(db.append(syntheticReadings(committed * 1000, kBatch)))) {
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(committed + kBatch));
        std::fflush(stdout);
    }
}
