#include "update/ziplisting.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr quint32 kEndSignature = 0x06054b50;
constexpr quint32 kEntrySignature = 0x02014b50;
constexpr int kEndSize = 22;
constexpr int kEntrySize = 46;
constexpr int kMaxComment = 0xffff;
// Far more than the few entries of an installer archive; never read whole
// into memory past this.
constexpr quint32 kMaxDirectory = 16 * 1024 * 1024;

quint16 u16(const QByteArray &data, int at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

quint32 u32(const QByteArray &data, int at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

bool unsafeName(const QByteArray &name)
{
    if (name.startsWith('/') || name.startsWith('\\'))
        return true;
    const QList<QByteArray> parts = QByteArray(name).replace('\\', '/').split('/');
    return parts.contains("..");
}

} // namespace

ZipListing readZipListing(const QString &path)
{
    ZipListing listing;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < kEndSize)
        return listing;
    const qint64 tailStart = qMax<qint64>(0, file.size() - kEndSize - kMaxComment);
    file.seek(tailStart);
    const QByteArray tail = file.readAll();
    int end = tail.size() - kEndSize;
    while (end >= 0 && u32(tail, end) != kEndSignature)
        --end;
    if (end < 0)
        return listing;

    const quint16 entries = u16(tail, end + 10);
    const quint32 directorySize = u32(tail, end + 12);
    const quint32 directoryOffset = u32(tail, end + 16);
    // The markers of the 64-bit format (nothing this panel installs needs
    // it), or a directory no installer archive has.
    if (entries == 0xffff || directorySize > kMaxDirectory || directoryOffset == 0xffffffff) {
        listing.status = ZipListing::Unsafe;
        return listing;
    }
    if (qint64(directoryOffset) + directorySize > tailStart + end)
        return listing;
    file.seek(directoryOffset);
    const QByteArray directory = file.read(directorySize);
    int at = 0;
    for (int i = 0; i < entries; ++i) {
        if (at + kEntrySize > directory.size() || u32(directory, at) != kEntrySignature)
            return listing;
        const quint32 unpacked = u32(directory, at + 24);
        const int nameLength = u16(directory, at + 28);
        const int next = at + kEntrySize + nameLength + u16(directory, at + 30) + u16(directory, at + 32);
        if (next > directory.size())
            return listing;
        if (unpacked == 0xffffffff || u32(directory, at + 20) == 0xffffffff
            || unsafeName(directory.mid(at + kEntrySize, nameLength))) {
            listing.status = ZipListing::Unsafe;
            return listing;
        }
        listing.unpackedBytes += unpacked;
        at = next;
    }
    listing.entries = entries;
    listing.status = ZipListing::Readable;
    return listing;
}
