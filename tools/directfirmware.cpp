// The maintenance commands: firmware transfer, the firmware checksum and the
// unit's debug text.
#include <QElapsedTimer>

#include <unistd.h>

#include "service/firmwareimage.h"
#include "service/repeatedlines.h"
#include "tools/directcommands.h"
#include "tools/directlink.h"
#include "tools/firmwareprogress.h"
#include "tools/libraryoutput.h"
#include "tools/outputwrite.h"

namespace {

// The only model whose firmware the panel and this tool update.
const char kFirmwareModel[] = "Strata 96";

// What the transfer shows while it blocks: the library's own lines above a
// progress line that is redrawn in place on a terminal.
class TransferView
{
public:
    explicit TransferView(bool terminal) : m_terminal(terminal) { m_elapsed.start(); }

    static void notify(void *ctx, uint32_t pos, uint32_t length, int verifying)
    {
        auto *view = static_cast<TransferView *>(ctx);
        view->m_pos = pos;
        view->show(pos, length, verifying != 0);
    }

    void show(uint32_t pos, uint32_t length, bool verifying)
    {
        passOnLibraryLines(false);
        // A redraw per chunk would flood a slow terminal; ten a second do.
        const qint64 now = m_elapsed.elapsed();
        if (!verifying && pos < length && now - m_drawnAt < kRedrawMs)
            return;
        m_drawnAt = now;
        if (m_terminal) {
            const QByteArray line = firmwareProgressLine(pos, length, m_elapsed.elapsed(), verifying).toLocal8Bit();
            std::fprintf(stderr, "\r\033[K%s", line.constData());
            std::fflush(stderr);
            m_drawn = true;
        }
    }

    // Puts the library's last lines out, then ends the progress line: gone on
    // a terminal, one plain summary line elsewhere.
    void finish()
    {
        passOnLibraryLines(true);
        m_output.release();
        if (m_terminal && m_drawn)
            std::fprintf(stderr, "\r\033[K");
        else if (!m_terminal)
            std::fprintf(stderr, "%s\n", firmwareSummaryLine(m_pos, m_elapsed.elapsed()).toLocal8Bit().constData());
        std::fflush(stderr);
    }

private:
    void passOnLibraryLines(bool all)
    {
        m_output.drain(
            [this](const std::string &line) {
                // On a terminal the progress line stands for the position lines.
                if (m_terminal && line.compare(0, 6, "pos = ") == 0)
                    return;
                print(m_lines.add(line));
            },
            all);
        if (all)
            print(m_lines.flush());
    }

    void print(const std::vector<std::string> &lines)
    {
        for (const std::string &line : lines)
            std::fprintf(stderr, "%s%s\n", m_drawn ? "\r\033[K" : "", line.c_str());
    }

    static constexpr qint64 kRedrawMs = 100;

    bool m_terminal;
    bool m_drawn = false;
    qint64 m_drawnAt = -kRedrawMs;
    uint32_t m_pos = 0;
    QElapsedTimer m_elapsed;
    LibraryOutput m_output;
    RepeatedLines m_lines;
};

// A 32-bit number in decimal or, after 0x, in hexadecimal.
bool parseU32(const QString &text, uint32_t *value)
{
    bool ok = false;
    const qulonglong n = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toULongLong(&ok, 16)
                                                                                    : text.toULongLong(&ok, 10);
    if (!ok || n > 0xFFFFFFFFull || text.contains(QLatin1Char('+')) || text.contains(QLatin1Char('-')))
        return false;
    *value = uint32_t(n);
    return true;
}

Outcome selectModel(DirectLink &link, int unit, zuctl_t *ctl)
{
    Outcome picked = direct::selectUnit(link, unit, ctl);
    if (picked.status != kExitOk)
        return picked;
    uint8_t name[64] = {};
    uint8_t len = 0;
    const direct::WaitStart asked;
    if (zuctl_get_productname(ctl, name, sizeof name, &len) != 0)
        return Outcome::failed(
            direct::failureLine(*ctl, QStringLiteral("unit did not answer within %1 s").arg(asked.seconds())));
    const QString model = QString::fromUtf8(reinterpret_cast<const char *>(name), len);
    if (model != QLatin1String(kFirmwareModel))
        return Outcome::failed(QStringLiteral("the unit is a %1: only the %2 takes a firmware image")
                                   .arg(model, QLatin1String(kFirmwareModel)));
    return Outcome::ok();
}

} // namespace

namespace direct {

Outcome runFirmware(const Invocation &inv, DirectLink &link, std::FILE *out)
{
    // Everything about the file is settled before the unit hears of it.
    FirmwareImage image;
    if (!image.open(inv.args.value(0)))
        return Outcome::failed(image.error());
    zuctl_t ctl{nullptr};
    Outcome picked = selectModel(link, inv.unit, &ctl);
    if (picked.status != kExitOk)
        return picked;

    uint32_t result = 1;
    {
        TransferView view(isatty(STDERR_FILENO) == 1);
        result = zuctl_fwupdate_notify(&ctl, image.data(), image.length(), nullptr, &TransferView::notify, &view);
        view.finish();
    }
    if (result == 0) {
        if (!write(out, QStringLiteral("Firmware image of %1 bytes sent and verified by the unit\n")
                            .arg(image.length())
                            .toUtf8()))
            return Outcome::failed(outputFailedLine());
        return Outcome::ok();
    }
    if (result == 2)
        return Outcome{kExitCancelled, QStringLiteral("the unit cancelled the firmware transfer")};
    const QString line = failureLine(ctl, QString());
    if (!line.isEmpty())
        return Outcome::failed(QStringLiteral("unit was disconnected during the firmware transfer"));
    return Outcome::failed(QStringLiteral("firmware transfer failed: the unit did not take or verify the image"));
}

Outcome runChecksum(const Invocation &inv, DirectLink &link, std::FILE *out)
{
    uint32_t arg = 0;
    if (!inv.args.isEmpty() && !parseU32(inv.args.first(), &arg))
        return Outcome::usage(QStringLiteral("invalid checksum argument '%1': give a 32-bit number").arg(inv.args.first()));
    zuctl_t ctl{nullptr};
    Outcome picked = selectUnit(link, inv.unit, &ctl);
    if (picked.status != kExitOk)
        return picked;
    uint32_t checksum = 0;
    if (zuctl_get_fw_checksum(&ctl, arg, &checksum) != 0)
        return Outcome::failed(failureLine(ctl, QStringLiteral("unit did not report a checksum")));
    if (!write(out, QStringLiteral("0x%1 (%2)\n").arg(checksum, 8, 16, QLatin1Char('0')).arg(checksum).toUtf8()))
        return Outcome::failed(outputFailedLine());
    return Outcome::ok();
}

Outcome runDebug(const Invocation &inv, DirectLink &link, std::FILE *out)
{
    zuctl_t ctl{nullptr};
    Outcome picked = selectUnit(link, inv.unit, &ctl);
    if (picked.status != kExitOk)
        return picked;
    uint8_t text[255] = {};
    uint8_t len = 0;
    if (zuctl_debugprint(&ctl, text, sizeof text, &len) != 0)
        return Outcome::failed(failureLine(ctl, QStringLiteral("unit did not answer")));
    if (len > 0 && !write(out, QByteArray(reinterpret_cast<const char *>(text), len) + '\n'))
        return Outcome::failed(outputFailedLine());
    return Outcome::ok();
}

} // namespace direct
