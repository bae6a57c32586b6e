#include "debugcapture.h"

namespace {
// The message handler is process-wide, so is what it collects.
QStringList s_lines;
} // namespace

DebugCapture::DebugCapture()
{
    s_lines.clear();
    m_previous = qInstallMessageHandler(&DebugCapture::handler);
}

DebugCapture::~DebugCapture()
{
    qInstallMessageHandler(m_previous);
}

QStringList DebugCapture::lines() const
{
    return s_lines;
}

void DebugCapture::clear()
{
    s_lines.clear();
}

void DebugCapture::handler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        s_lines.append(message);
}
