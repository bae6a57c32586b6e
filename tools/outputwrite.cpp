#include "tools/outputwrite.h"

#include <cerrno>
#include <cstring>

bool writeOutput(std::FILE *out, const QByteArray &bytes)
{
    const size_t size = size_t(bytes.size());
    const bool written = std::fwrite(bytes.constData(), 1, size, out) == size;
    return std::fflush(out) == 0 && written && !std::ferror(out);
}

bool flushStandardOutput()
{
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

QString outputFailedLine()
{
    return QStringLiteral("cannot write the output: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
}
