// The frame server's byte handler on a scripted port in virtual time: the input is a script of
// chunks (a delay in tens of milliseconds, a length, the bytes) that the station's side of the
// line delivers while the console sends two requests.
#include "FuzzApp.h"

#include "comm/FakeSerialBackend.h"
#include "forms/VirtualScheduler.h"
#include "link/clsServidorTramas.h"
#include "link/clsTrama.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

constexpr int kTickMs = 10;
constexpr int kMaxChunk = 32;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ensureApplication();
    qunsetenv("BRISORA_COM2");
    forms::VirtualScheduler clock;
    auto* port = new comm::FakeSerialBackend(clock);
    clsServidorTramas server(std::unique_ptr<comm::SerialBackend>(port), clock);
    qint64 at = clock.nowMs();
    std::size_t i = 0;
    while (i + 2 <= size) {
        at += qint64(data[i]) * kTickMs;
        const std::size_t length =
            std::min<std::size_t>(data[i + 1] % (kMaxChunk + 1), size - i - 2);
        const QByteArray bytes(reinterpret_cast<const char*>(data + i + 2), qsizetype(length));
        if (bytes.isEmpty())
            port->emptyEventAt(at);
        else
            port->deliverAt(at, bytes);
        i += 2 + length;
    }
    for (const qint16 request : {clsTrama::iPETICION_HUMEDAD, clsTrama::iPETICION_PRESION}) {
        server.subMandaTrama(clsTrama::iDIRECCION_ESTACION, clsTrama::iDIRECCION_CONSOLA,
                             clsTrama::iBYTE_CONTROL, request, 0);
        std::array<qint16, 7> frame{};
        server.subLeeTramaRecibida(frame);
    }
    return 0;
}
