#include "service/firmwareimage.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

bool FirmwareImage::open(const QString &path)
{
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    m_error.clear();

    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (path.isEmpty() || ::stat(native.constData(), &st) != 0) {
        if (!path.isEmpty() && errno != ENOENT && errno != ENOTDIR)
            return refuse(tr("cannot read firmware image %1: %2").arg(path, systemError(errno)));
        return refuse(tr("firmware image %1 does not exist").arg(path));
    }
    if (S_ISDIR(st.st_mode))
        return refuse(tr("%1 is a folder, not a firmware image").arg(path));
    // Opening a FIFO waits for a writer, and a device never ends.
    if (!S_ISREG(st.st_mode))
        return refuse(tr("%1 is not a regular file, not a firmware image").arg(path));
    // Without blocking, in case it was swapped for a FIFO since; checked again
    // on what was opened.
    const Descriptor file{::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0)
        return refuse(tr("cannot read firmware image %1: %2").arg(path, systemError(errno)));
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return refuse(tr("%1 is not a regular file, not a firmware image").arg(path));
    if (st.st_size <= 0)
        return refuse(tr("firmware image %1 is empty").arg(path));
    if (quint64(st.st_size) >= kLengthLimit)
        return refuse(tr("firmware image %1 is too large: the unit takes less than 4 GiB").arg(path));

    try {
        m_bytes.resize(size_t(st.st_size));
    } catch (const std::bad_alloc &) {
        return refuse(tr("cannot read firmware image %1: not enough memory").arg(path));
    }
    size_t done = 0;
    while (done < m_bytes.size()) {
        const ssize_t n = ::read(file.fd, m_bytes.data() + done, m_bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return refuse(tr("cannot read firmware image %1: %2").arg(path, systemError(errno)));
        if (n == 0)
            break;
        done += size_t(n);
    }
    char more = 0;
    if (done != m_bytes.size() || ::read(file.fd, &more, 1) != 0)
        return refuse(tr("firmware image %1 changed while it was read").arg(path));
    return true;
}

bool FirmwareImage::refuse(const QString &why)
{
    m_error = why;
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    return false;
}
