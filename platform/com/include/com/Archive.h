#pragma once

#include "com/HResult.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

class QIODevice;

namespace com {

// Binary archive, little-endian, over an open QIODevice (a file or a QBuffer), either loading
// or storing. Errors are sticky: the first failed read or write sets status() (STG_E_READFAULT
// for a read past the end or data it cannot hold, STG_E_WRITEFAULT for a failed write); every
// later read returns zero/empty and every later write does nothing.
//
// Encodings: 16/32-bit integers and doubles as their bytes; a boolean as one byte 0 or 1;
// a string as a length prefix (1 byte if below 255; else 0xFF + 16-bit if below 0xFFFE; else
// 0xFF, 0xFFFF + 32-bit) and then its 8-bit Western characters; an element count as 16 bits
// (or 0xFFFF + 32 bits from 0xFFFF on); a blob as a 32-bit byte count and the bytes.
// Before anything is allocated for a length or count, it is checked against the bytes left
// and against the length limit, so that a device that cannot tell its size (a pipe, a socket)
// never makes the archive trust a claimed length: memory stays proportional to what was read.
class Archive {
public:
    enum class Mode { Load, Store };

    Archive(QIODevice* device, Mode mode);
    virtual ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool isLoading() const { return m_mode == Mode::Load; }
    bool isStoring() const { return m_mode == Mode::Store; }
    bool ok() const { return m_status == S_OK; }
    [[nodiscard]] HRESULT status() const { return m_status; }
    // Marks the archive failed (kept if it already failed).
    void setError(HRESULT hr);
    // Bytes left to read (loading), or -1 when the device cannot tell.
    qint64 bytesLeft() const;
    // The longest string or blob a load accepts (in bytes); a longer length prefix fails at
    // once with STG_E_READFAULT. kNoLengthLimit (the default) accepts what the device holds.
    static constexpr qint64 kNoLengthLimit = -1;
    void setLengthLimit(qint64 maxBytes) { m_lengthLimit = maxBytes; }
    qint64 lengthLimit() const { return m_lengthLimit; }

    void writeByte(std::uint8_t v);
    void writeShort(std::int16_t v);
    void writeWord(std::uint16_t v);
    void writeLong(std::int32_t v);
    void writeDWord(std::uint32_t v);
    void writeDouble(double v);
    void writeBool(bool v);
    void writeString(const QString& v);
    void writeCount(std::uint32_t count);
    void writeBlob(const QByteArray& bytes);
    void writeRaw(const QByteArray& bytes);

    std::uint8_t readByte();
    std::int16_t readShort();
    std::uint16_t readWord();
    std::int32_t readLong();
    std::uint32_t readDWord();
    double readDouble();
    bool readBool();
    QString readString();
    // Reads an element count and checks that `minElementSize` bytes per element are left.
    std::uint32_t readCount(qint64 minElementSize = 1);
    QByteArray readBlob();
    QByteArray readRaw(qint64 size);

    // Both directions in one call: stores `v` or loads into it (untouched on failure).
    void exchange(std::int32_t& v);
    void exchange(double& v);
    void exchange(bool& v);
    void exchange(QString& v);
    // Arrays as an element count then the elements. Loading replaces the list, size included.
    void exchangeLongArray(QList<std::int32_t>& values);
    void exchangeStringArray(QStringList& values);

protected:
    QIODevice* device() const { return m_device; }

private:
    template <class T, class Read, class Write>
    void exchangeWith(T& v, Read read, Write write);
    bool readExact(char* dst, qint64 size);
    void writeExact(const char* src, qint64 size);
    bool canRead(qint64 size);
    bool withinLengthLimit(qint64 size);

    QIODevice* m_device;
    Mode m_mode;
    HRESULT m_status = S_OK;
    qint64 m_lengthLimit = kNoLengthLimit;
};

// An archive over a growable memory buffer.
class MemoryArchive : public Archive {
public:
    // Storing into a new, empty buffer.
    MemoryArchive();
    // Loading from `bytes`.
    explicit MemoryArchive(const QByteArray& bytes);
    ~MemoryArchive() override;

    // Everything stored so far (or the whole buffer being loaded).
    QByteArray data() const;

private:
    struct Buffer;
    MemoryArchive(Buffer* buffer, Mode mode);
    Buffer* m_buffer;
};

} // namespace com
