// The meter's settings-stream loader on any bytes: as a settings file (SerializeLoadFile) and
// as a stream from a device that cannot tell its size (a pipe).
#include "FuzzApp.h"

#include "CGAUGEKITCtrl.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// A pipe: its bytes, then the end, and no size.
class Pipe : public QIODevice {
public:
    explicit Pipe(QByteArray bytes)
        : m_bytes(std::move(bytes)) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 n = std::min<qint64>(maxSize, m_bytes.size() - m_at);
        std::memcpy(data, m_bytes.constData() + m_at, size_t(n));
        m_at += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_at = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ensureApplication();
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = dir.filePath(QStringLiteral("input.SER"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 0;
    }
    const auto meter = com::ComPtr<gaugekit::CGAUGEKITCtrl>::adopt(new gaugekit::CGAUGEKITCtrl);
    // The answers are not the point here: hostile input may well be refused. What is looked
    // for is a crash, a leak or undefined behaviour on the way.
    std::ignore = meter->InitNew();
    bool opened = false;
    std::ignore = meter->serializeLoadFile(path, &opened);
    Pipe pipe(bytes);
    std::ignore = meter->Load(&pipe);
    // Whatever was loaded can be stored again.
    QByteArray stored;
    {
        QBuffer buffer(&stored);
        buffer.open(QIODevice::WriteOnly);
        std::ignore = meter->Save(&buffer, false);
    }
    return 0;
}
