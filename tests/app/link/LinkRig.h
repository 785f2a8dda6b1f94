#pragma once

#include "link/clsServidorTramas.h"
#include "link/clsTrama.h"

#include "comm/FakeSerialBackend.h"
#include "forms/VirtualScheduler.h"

#include "StationFrames.h"

#include <QByteArray>

#include <memory>

// Frames as they travel on the line.
inline QByteArray bytesOf(const Trama& t) {
    QByteArray out;
    for (const qint16 b : t) {
        out += static_cast<char>(b);
    }
    return out;
}

using testsupport::errorFrame;
using testsupport::reply;
using testsupport::withSum;

// A frame server on a fake device in virtual time.
struct LinkRig {
    forms::VirtualScheduler clock;
    comm::FakeSerialBackend* fake = new comm::FakeSerialBackend(clock);
    std::unique_ptr<clsServidorTramas> server;

    explicit LinkRig(comm::CommError openFailure = comm::CommError::None) {
        qunsetenv("BRISORA_COM2");
        fake->setOpenFailure(openFailure);
        server =
            std::make_unique<clsServidorTramas>(std::unique_ptr<comm::SerialBackend>(fake), clock);
    }

    // Bytes arriving relMs after now; an empty array is a receive event with nothing to read.
    void at(qint64 relMs, const QByteArray& bytes) const {
        if (bytes.isEmpty()) {
            fake->emptyEventAt(clock.nowMs() + relMs);
        } else {
            fake->deliverAt(clock.nowMs() + relMs, bytes);
        }
    }

    clsServidorTramas::enResultadoEnvio send(qint16 dataByte = clsTrama::iPETICION_HUMEDAD) {
        return server->subMandaTrama(1, 0, 0x40, dataByte, 0);
    }

    // Times, relative to `origin`, of the writes after the first `skip` ones.
    QList<qint64> writeTimes(qint64 origin, int skip) const {
        QList<qint64> times;
        for (qsizetype i = skip; i < fake->writes().size(); ++i) {
            times << fake->writes()[i].atMs - origin;
        }
        return times;
    }

    QByteArray received() const { return bytesOf(server->estado().iarrTramaRecibida); }
};
