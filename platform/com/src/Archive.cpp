#include "com/Archive.h"

#include "com/Cp1252.h"

#include <QBuffer>
#include <QtEndian>
#include <cstring>

namespace com {

namespace {

constexpr std::uint8_t kLongStringMark = 0xFF;
constexpr std::uint16_t kWordLengthLimit = 0xFFFE; // 16-bit lengths stay below this
constexpr std::uint16_t kDWordLengthMark = 0xFFFF;
constexpr std::uint16_t kDWordCountMark = 0xFFFF;
constexpr qint64 kSequentialChunk = 64 * 1024;

template <class T>
T fromLittle(const char* bytes) {
    T v;
    std::memcpy(&v, bytes, sizeof v);
    return qFromLittleEndian(v);
}

} // namespace

Archive::Archive(QIODevice* device, Mode mode)
    : m_device(device)
    , m_mode(mode) {
    if (!m_device || !m_device->isOpen())
        m_status = mode == Mode::Load ? STG_E_READFAULT : STG_E_WRITEFAULT;
}

Archive::~Archive() = default;

void Archive::setError(HRESULT hr) {
    if (m_status == S_OK)
        m_status = hr;
}

qint64 Archive::bytesLeft() const {
    if (!m_device)
        return 0;
    if (m_device->isSequential())
        return -1;
    return std::max<qint64>(m_device->size() - m_device->pos(), 0);
}

bool Archive::canRead(qint64 size) {
    if (!ok())
        return false;
    const qint64 left = bytesLeft();
    if (size < 0 || (left >= 0 && size > left)) {
        setError(STG_E_READFAULT);
        return false;
    }
    return true;
}

bool Archive::withinLengthLimit(qint64 size) {
    if (m_lengthLimit >= 0 && size > m_lengthLimit) {
        setError(STG_E_READFAULT);
        return false;
    }
    return true;
}

bool Archive::readExact(char* dst, qint64 size) {
    if (!canRead(size))
        return false;
    if (size > 0 && m_device->read(dst, size) != size) {
        setError(STG_E_READFAULT);
        return false;
    }
    return true;
}

void Archive::writeExact(const char* src, qint64 size) {
    if (!ok())
        return;
    if (m_mode != Mode::Store || (size > 0 && m_device->write(src, size) != size))
        setError(STG_E_WRITEFAULT);
}

void Archive::writeByte(std::uint8_t v) {
    writeExact(reinterpret_cast<const char*>(&v), 1);
}

void Archive::writeShort(std::int16_t v) {
    writeWord(std::uint16_t(v));
}

void Archive::writeWord(std::uint16_t v) {
    const std::uint16_t le = qToLittleEndian(v);
    writeExact(reinterpret_cast<const char*>(&le), sizeof le);
}

void Archive::writeLong(std::int32_t v) {
    writeDWord(std::uint32_t(v));
}

void Archive::writeDWord(std::uint32_t v) {
    const std::uint32_t le = qToLittleEndian(v);
    writeExact(reinterpret_cast<const char*>(&le), sizeof le);
}

void Archive::writeDouble(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    bits = qToLittleEndian(bits);
    writeExact(reinterpret_cast<const char*>(&bits), sizeof bits);
}

void Archive::writeBool(bool v) {
    writeByte(v ? 1 : 0);
}

void Archive::writeString(const QString& v) {
    const QByteArray bytes = cp1252::encode(v);
    const auto n = std::uint32_t(bytes.size());
    if (n < kLongStringMark) {
        writeByte(std::uint8_t(n));
    } else {
        writeByte(kLongStringMark);
        if (n < kWordLengthLimit) {
            writeWord(std::uint16_t(n));
        } else {
            writeWord(kDWordLengthMark);
            writeDWord(n);
        }
    }
    writeRaw(bytes);
}

void Archive::writeCount(std::uint32_t count) {
    if (count < kDWordCountMark) {
        writeWord(std::uint16_t(count));
    } else {
        writeWord(kDWordCountMark);
        writeDWord(count);
    }
}

void Archive::writeBlob(const QByteArray& bytes) {
    writeDWord(std::uint32_t(bytes.size()));
    writeRaw(bytes);
}

void Archive::writeRaw(const QByteArray& bytes) {
    writeExact(bytes.constData(), bytes.size());
}

std::uint8_t Archive::readByte() {
    char c = 0;
    return readExact(&c, 1) ? std::uint8_t(c) : 0;
}

std::int16_t Archive::readShort() {
    return std::int16_t(readWord());
}

std::uint16_t Archive::readWord() {
    char b[2];
    return readExact(b, 2) ? fromLittle<std::uint16_t>(b) : 0;
}

std::int32_t Archive::readLong() {
    return std::int32_t(readDWord());
}

std::uint32_t Archive::readDWord() {
    char b[4];
    return readExact(b, 4) ? fromLittle<std::uint32_t>(b) : 0;
}

double Archive::readDouble() {
    char b[8];
    if (!readExact(b, 8))
        return 0.0;
    const std::uint64_t bits = fromLittle<std::uint64_t>(b);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

bool Archive::readBool() {
    return readByte() != 0;
}

QString Archive::readString() {
    std::uint32_t n = readByte();
    if (n == kLongStringMark) {
        n = readWord();
        if (n == kDWordLengthMark)
            n = readDWord();
        else if (n == kWordLengthLimit)
            setError(STG_E_READFAULT); // a wide-character marker: not a string we write
    }
    if (!ok() || !withinLengthLimit(n))
        return {};
    return cp1252::decode(readRaw(n));
}

std::uint32_t Archive::readCount(qint64 minElementSize) {
    std::uint32_t n = readWord();
    if (n == kDWordCountMark)
        n = readDWord();
    if (!ok() || !canRead(qint64(n) * std::max<qint64>(minElementSize, 0)))
        return 0;
    return n;
}

QByteArray Archive::readBlob() {
    const std::uint32_t n = readDWord();
    if (!ok() || !withinLengthLimit(n))
        return {};
    return readRaw(n);
}

QByteArray Archive::readRaw(qint64 size) {
    if (!canRead(size))
        return {};
    QByteArray out;
    // A sequential device cannot tell what is left: grow in chunks, never by a claimed size.
    const qint64 step = bytesLeft() < 0 ? kSequentialChunk : size;
    while (out.size() < size) {
        const qint64 take = std::min(step, size - out.size());
        const qsizetype at = out.size();
        out.resize(at + take);
        if (!readExact(out.data() + at, take))
            return {};
    }
    return out;
}

// Stores `v`, or loads into it, leaving it untouched when the read fails.
template <class T, class Read, class Write>
void Archive::exchangeWith(T& v, Read read, Write write) {
    if (isStoring()) {
        (this->*write)(v);
        return;
    }
    T r = (this->*read)();
    if (ok())
        v = std::move(r);
}

void Archive::exchange(std::int32_t& v) {
    exchangeWith(v, &Archive::readLong, &Archive::writeLong);
}

void Archive::exchange(double& v) {
    exchangeWith(v, &Archive::readDouble, &Archive::writeDouble);
}

void Archive::exchange(bool& v) {
    exchangeWith(v, &Archive::readBool, &Archive::writeBool);
}

void Archive::exchange(QString& v) {
    exchangeWith(v, &Archive::readString, &Archive::writeString);
}

void Archive::exchangeLongArray(QList<std::int32_t>& values) {
    if (isStoring()) {
        writeCount(std::uint32_t(values.size()));
        for (std::int32_t v : values)
            writeLong(v);
        return;
    }
    const std::uint32_t n = readCount(4);
    QList<std::int32_t> loaded;
    loaded.reserve(n);
    for (std::uint32_t i = 0; i < n && ok(); ++i)
        loaded.append(readLong());
    if (ok())
        values = loaded;
}

void Archive::exchangeStringArray(QStringList& values) {
    if (isStoring()) {
        writeCount(std::uint32_t(values.size()));
        for (const QString& v : values)
            writeString(v);
        return;
    }
    const std::uint32_t n = readCount(1);
    QStringList loaded;
    loaded.reserve(n);
    for (std::uint32_t i = 0; i < n && ok(); ++i)
        loaded.append(readString());
    if (ok())
        values = loaded;
}

struct MemoryArchive::Buffer {
    explicit Buffer(const QByteArray& initial, Mode mode)
        : bytes(initial) {
        device.open(mode == Mode::Load ? QIODevice::ReadOnly : QIODevice::WriteOnly);
    }
    QByteArray bytes;
    QBuffer device{&bytes};
};

MemoryArchive::MemoryArchive()
    : MemoryArchive(new Buffer({}, Mode::Store), Mode::Store) {}

MemoryArchive::MemoryArchive(const QByteArray& bytes)
    : MemoryArchive(new Buffer(bytes, Mode::Load), Mode::Load) {}

MemoryArchive::MemoryArchive(Buffer* buffer, Mode mode)
    : Archive(&buffer->device, mode)
    , m_buffer(buffer) {}

MemoryArchive::~MemoryArchive() {
    delete m_buffer;
}

QByteArray MemoryArchive::data() const {
    return m_buffer->bytes;
}

} // namespace com
