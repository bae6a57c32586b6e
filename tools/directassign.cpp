// assign: the unit's output assignments, listed or set.
#include <algorithm>
#include <cstring>
#include <vector>

#include "tools/channelparse.h"
#include "tools/directcommands.h"
#include "tools/directlink.h"
#include "tools/outputwrite.h"

namespace {

// Room for far more assignments than a unit has outputs.
constexpr size_t kListSize = 4096;

} // namespace

namespace direct {

Outcome runAssign(const Invocation &inv, DirectLink &link, std::FILE *out)
{
    if (inv.args.size() == 1)
        return Outcome::usage(QStringLiteral("missing destination channel (see stratactl assign --help)"));
    if (inv.args.size() > 2)
        return Outcome::usage(QStringLiteral("unexpected argument '%1' (see stratactl assign --help)")
                                  .arg(inv.args.at(2)));
    Channel in{}, dest{};
    QString error;
    if (inv.args.size() == 2
        && (!parseChannel(inv.args.at(0), &in, &error) || !parseChannel(inv.args.at(1), &dest, &error)))
        return Outcome::usage(error);

    zuctl_t ctl{nullptr};
    Outcome picked = selectUnit(link, inv.unit, &ctl);
    if (picked.status != kExitOk)
        return picked;

    if (inv.args.size() == 2) {
        if (zuctl_set_assign_ch(&ctl, in.kind, in.number, dest.kind, dest.number) != 0)
            return Outcome::failed(failureLine(ctl, QStringLiteral("unit did not take the assignment")));
        return Outcome::ok();
    }

    std::vector<char> text(kListSize, 0);
    size_t len = 0;
    if (zuctl_get_assign_ch(&ctl, text.data(), text.size(), &len) != 0)
        return Outcome::failed(failureLine(ctl, QStringLiteral("unit did not send its assignment list")));
    // The count includes a last line that was cut to fit; never read past the
    // text the formatter terminated.
    const size_t whole = len;
    len = std::min(len, strnlen(text.data(), text.size()));
    if (!write(out, QByteArray(text.data(), int(len))))
        return Outcome::failed(outputFailedLine());
    if (whole > len)
        return Outcome::failed(QStringLiteral("assignment list incomplete: only its first %1 bytes were kept").arg(len));
    return Outcome::ok();
}

} // namespace direct
