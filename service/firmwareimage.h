// A firmware image file as the unit's transfer takes it: checked before a
// single byte goes to the unit, then read into memory once. A mapped file
// that shrinks under the transfer would kill the program with SIGBUS; a copy
// cannot change.
#pragma once

#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <vector>

class FirmwareImage
{
    Q_DECLARE_TR_FUNCTIONS(FirmwareImage)

public:
    // The transfer announces the length in 32 bits.
    static constexpr quint64 kLengthLimit = quint64(1) << 32;

    FirmwareImage() = default;
    FirmwareImage(const FirmwareImage &) = delete;
    FirmwareImage &operator=(const FirmwareImage &) = delete;

    // False for a missing, empty, unreadable or too large file, for anything
    // but a regular file (a folder, a FIFO, a device), and for a file that
    // changed size while it was read; error() then says which in one line.
    bool open(const QString &path);

    const uint8_t *data() const { return m_bytes.data(); }
    uint32_t length() const { return uint32_t(m_bytes.size()); }
    QString error() const { return m_error; }

private:
    bool refuse(const QString &why);

    std::vector<uint8_t> m_bytes;
    QString m_error;
};
