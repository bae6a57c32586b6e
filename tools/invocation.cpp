#include "tools/invocation.h"

namespace {

const char kSeeHelp[] = " (see stratactl --help)";

bool takesValue(const QString &name)
{
    return name == QLatin1String("--simulate") || name == QLatin1String("--faults") || name == QLatin1String("--unit")
        || name == QLatin1String("--count") || name == QLatin1String("--interval");
}

// A whole decimal number within [low, high]; no sign, no blanks.
bool parseNumber(const QString &text, int low, int high, int *value)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9')
            return false;
    }
    const int n = text.toInt();
    if (n < low || n > high)
        return false;
    *value = n;
    return true;
}

QString applyValue(Invocation &inv, const QString &name, const QString &value)
{
    if (name == QLatin1String("--simulate")) {
        if (value.isEmpty())
            return QStringLiteral("option --simulate needs a model name");
        inv.simulate = value;
    } else if (name == QLatin1String("--faults")) {
        inv.faults = value;
        inv.faultsGiven = true;
    } else if (name == QLatin1String("--unit")) {
        if (!parseNumber(value, 0, 9, &inv.unit))
            return QStringLiteral("invalid unit '%1': units are counted from 0 to 9").arg(value);
    } else if (name == QLatin1String("--count")) {
        if (!parseNumber(value, 1, 1000000000, &inv.count))
            return QStringLiteral("invalid count '%1': give a number of refreshes from 1").arg(value);
    } else if (name == QLatin1String("--interval")) {
        if (!parseNumber(value, 10, 60000, &inv.intervalMs))
            return QStringLiteral("invalid interval '%1': give milliseconds from 10 to 60000").arg(value);
    }
    return QString();
}

bool applyFlag(Invocation &inv, const QString &name)
{
    if (name == QLatin1String("--json"))
        inv.json = true;
    else if (name == QLatin1String("--engine"))
        inv.engine = true;
    else if (name == QLatin1String("--help") || name == QLatin1String("-h"))
        inv.help = true;
    else if (name == QLatin1String("--version") || name == QLatin1String("-v"))
        inv.version = true;
    else if (name == QLatin1String("--quiet"))
        inv.quiet = true;
    else if (name == QLatin1String("--watch"))
        inv.watch = true;
    else
        return false;
    return true;
}

// Options a command accepts beyond --simulate, --unit and --help.
QString checkOptionsFit(const Invocation &inv, const QStringList &given)
{
    const QString &cmd = inv.command;
    auto refuse = [&](const char *option) {
        return QStringLiteral("option %1 is not valid for %2").arg(QLatin1String(option), cmd);
    };
    const bool reports = cmd == QLatin1String("list") || cmd == QLatin1String("info")
        || cmd == QLatin1String("meters") || cmd == QLatin1String("get");
    const bool meters = cmd == QLatin1String("meters");
    if (inv.quiet && cmd != QLatin1String("list"))
        return refuse("--quiet");
    if (inv.json && !reports)
        return refuse("--json");
    if (inv.engine && cmd != QLatin1String("info") && !meters)
        return refuse("--engine");
    if (inv.watch && !meters)
        return refuse("--watch");
    for (const char *option : {"--count", "--interval"}) {
        if (!given.contains(QLatin1String(option)))
            continue;
        if (!meters)
            return refuse(option);
        if (!inv.watch)
            return QStringLiteral("option %1 needs --watch").arg(QLatin1String(option));
    }
    if (inv.engine && given.contains(QLatin1String("--interval")))
        return QStringLiteral("option --interval is not valid with --engine: the engine polls every 100 ms");
    if (inv.engine && inv.unit != 0)
        return QStringLiteral("option --unit is not valid with --engine: the engine uses the first unit");
    return QString();
}

QString checkArgumentCount(const Invocation &inv)
{
    const QString &cmd = inv.command;
    if (cmd == QLatin1String("help")) {
        if (inv.args.size() > 1)
            return QStringLiteral("unexpected argument '%1' for help").arg(inv.args.at(1));
        if (!inv.args.isEmpty() && !knownCommands().contains(inv.args.first())
            && !helpTopics().contains(inv.args.first()))
            return QStringLiteral("unknown command '%1'%2").arg(inv.args.first(), QLatin1String(kSeeHelp));
        return QString();
    }
    const bool noArguments = cmd == QLatin1String("list") || cmd == QLatin1String("info")
        || cmd == QLatin1String("meters");
    if ((noArguments || cmd == QLatin1String("debug")) && !inv.args.isEmpty())
        return QStringLiteral("unexpected argument '%1' for %2").arg(inv.args.first(), cmd);
    if (cmd == QLatin1String("firmware") && inv.args.size() != 1)
        return inv.args.isEmpty() ? QStringLiteral("firmware needs the path of an image")
                                  : QStringLiteral("unexpected argument '%1' for firmware").arg(inv.args.at(1));
    if (cmd == QLatin1String("checksum") && inv.args.size() > 1)
        return QStringLiteral("unexpected argument '%1' for checksum").arg(inv.args.at(1));
    return QString();
}

// "-1" is a value the user gave (and the command's check will refuse), not
// an option nobody knows.
bool isNegativeNumber(const QString &arg)
{
    for (int i = 1; i < arg.size(); ++i) {
        if (!arg.at(i).isDigit())
            return false;
    }
    return arg.size() > 1;
}

} // namespace

const QStringList &knownCommands()
{
    static const QStringList commands{
        QStringLiteral("list"), QStringLiteral("info"), QStringLiteral("meters"),
        QStringLiteral("get"), QStringLiteral("set"), QStringLiteral("assign"),
        QStringLiteral("firmware"), QStringLiteral("checksum"), QStringLiteral("debug"),
        QStringLiteral("help"),
    };
    return commands;
}

const QStringList &helpTopics()
{
    static const QStringList topics{QStringLiteral("faults")};
    return topics;
}

ParsedInvocation parseInvocation(const QStringList &arguments)
{
    ParsedInvocation parsed;
    Invocation &inv = parsed.invocation;
    QStringList words;
    QStringList given;
    bool optionsEnded = false;

    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (optionsEnded || arg.size() < 2 || !arg.startsWith(QLatin1Char('-')) || isNegativeNumber(arg)) {
            words.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const int eq = arg.indexOf(QLatin1Char('='));
        const QString name = eq > 0 ? arg.left(eq) : arg;
        given.append(name);
        if (takesValue(name)) {
            QString value;
            if (eq > 0) {
                value = arg.mid(eq + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments.at(++i);
            } else {
                parsed.error = QStringLiteral("option %1 needs a value").arg(name);
                return parsed;
            }
            parsed.error = applyValue(inv, name, value);
            if (!parsed.error.isEmpty())
                return parsed;
        } else if (eq > 0 && applyFlag(inv, name)) {
            parsed.error = QStringLiteral("option %1 takes no value").arg(name);
            return parsed;
        } else if (!applyFlag(inv, name)) {
            parsed.error = QStringLiteral("unknown option %1%2").arg(name, QLatin1String(kSeeHelp));
            return parsed;
        }
    }

    // The version, like help, whatever else the line says; help wins.
    if (inv.version && !inv.help) {
        inv.command = QStringLiteral("version");
        return parsed;
    }
    if (words.isEmpty()) {
        if (inv.help) {
            inv.command = QStringLiteral("help");
            return parsed;
        }
        parsed.error = QStringLiteral("no command given%1").arg(QLatin1String(kSeeHelp));
        return parsed;
    }
    inv.command = words.takeFirst();
    inv.args = words;
    if (!knownCommands().contains(inv.command)) {
        parsed.error = QStringLiteral("unknown command '%1'%2").arg(inv.command, QLatin1String(kSeeHelp));
        return parsed;
    }
    // "stratactl meters --help" asks for help on meters, whatever else is given.
    if (inv.help) {
        if (inv.command != QLatin1String("help") || inv.args.isEmpty())
            inv.args = QStringList{inv.command};
        inv.command = QStringLiteral("help");
        inv.args = inv.args.mid(0, 1);
        return parsed;
    }
    parsed.error = checkOptionsFit(inv, given);
    if (parsed.error.isEmpty())
        parsed.error = checkArgumentCount(inv);
    return parsed;
}
