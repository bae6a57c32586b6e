#include "service/firmwareimage.h"

#include <QFileInfo>

bool FirmwareImage::open(const QString &path)
{
    m_data = nullptr;
    m_length = 0;
    m_error.clear();
    if (m_file.isOpen())
        m_file.close();

    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return refuse(tr("firmware image %1 does not exist").arg(path));
    if (info.isDir())
        return refuse(tr("%1 is a folder, not a firmware image").arg(path));
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return refuse(tr("cannot read firmware image %1: %2").arg(path, m_file.errorString()));
    const qint64 size = m_file.size();
    if (size <= 0)
        return refuse(tr("firmware image %1 is empty").arg(path));
    if (quint64(size) >= kLengthLimit)
        return refuse(tr("firmware image %1 is too large: the unit takes less than 4 GiB").arg(path));
    const uchar *mapped = m_file.map(0, size);
    if (!mapped)
        return refuse(tr("cannot read firmware image %1: %2").arg(path, m_file.errorString()));
    m_data = mapped;
    m_length = static_cast<uint32_t>(size);
    return true;
}

bool FirmwareImage::refuse(const QString &why)
{
    m_error = why;
    if (m_file.isOpen())
        m_file.close();
    return false;
}
