// A firmware image file as the unit's transfer takes it: checked before a
// single byte goes to the unit, then mapped rather than read, since an image
// may be larger than a byte array holds.
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <cstdint>

class FirmwareImage
{
    Q_DECLARE_TR_FUNCTIONS(FirmwareImage)

public:
    // The transfer announces the length in 32 bits.
    static constexpr quint64 kLengthLimit = quint64(1) << 32;

    FirmwareImage() = default;
    FirmwareImage(const FirmwareImage &) = delete;
    FirmwareImage &operator=(const FirmwareImage &) = delete;

    // False for a missing, empty, unreadable or too large file or a folder;
    // error() then says which in one line.
    bool open(const QString &path);

    const uint8_t *data() const { return m_data; }
    uint32_t length() const { return m_length; }
    QString error() const { return m_error; }

private:
    bool refuse(const QString &why);

    QFile m_file;
    const uint8_t *m_data = nullptr;
    uint32_t m_length = 0;
    QString m_error;
};
