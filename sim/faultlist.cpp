#include "sim/faultlist.h"

#include <cstddef>
#include <cstdio>

namespace sim {

namespace {

constexpr uint64_t kSecond = 1000000;
constexpr uint64_t kLongestUs = 24ull * 3600 * kSecond; // a day: anything longer is a typing slip
constexpr uint64_t kMostCount = 1000000;

// What a kind accepts after its colon.
enum Accepts : unsigned { kCount = 1, kDuration = 2, kProbability = 4 };

struct KindInfo {
    FaultKind kind;
    const char *name;
    unsigned accepts;
    int defaultCount;
    uint64_t defaultDurationUs;
};

const KindInfo kKinds[] = {
    {FaultKind::Stall, "stall", kCount | kDuration, 1, 0},
    {FaultKind::Timeout, "timeout", kCount | kDuration, 1, 0},
    {FaultKind::IoError, "ioerror", kCount | kDuration, 1, 0},
    {FaultKind::SendError, "senderror", kCount | kDuration, 1, 0},
    {FaultKind::Busy, "busy", kCount | kDuration, 1, 0},
    {FaultKind::Silence, "silence", kCount | kDuration, 1, 0},
    {FaultKind::Split, "split", kCount | kDuration, 1, 0},
    {FaultKind::DebugText, "debugtext", kCount | kDuration, 1, 0},
    {FaultKind::Malformed, "malformed", kCount, 1, 0},
    {FaultKind::DropMeters, "dropmeters", kCount, 0, 0},
    {FaultKind::ExtraMeters, "extrameters", kCount, 1, 0},
    {FaultKind::Unplug, "unplug", kDuration, 0, kSecond},
    {FaultKind::Random, "random", kProbability, 0, 0},
    {FaultKind::FirmwareCancel, "fwcancel", kCount, 1, 0},
    {FaultKind::FirmwareOffset, "fwoffset", kCount, 1, 0},
    {FaultKind::FirmwareNoVerify, "fwnoverify", kCount, 1, 0},
};

const char kKindList[] =
    "stall, timeout, ioerror, senderror, busy, silence, split, debugtext, malformed, "
    "dropmeters, extrameters, unplug, random, fwcancel, fwoffset, fwnoverify";

// Quoted for the one line of an error: a newline or other control character
// in the list is shown as an escape, so the line stays one line.
std::string quoted(const std::string &text)
{
    std::string out = "'";
    for (unsigned char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
    return out + "'";
}

bool allDigits(const std::string &text)
{
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

bool parseCount(const std::string &text, uint64_t limit, uint64_t *value)
{
    if (!allDigits(text))
        return false;
    *value = std::stoull(text);
    return *value <= limit;
}

// 500ms, 2s, 1m: a whole number and its unit, more than nothing, at most a day.
bool parseDuration(const std::string &text, uint64_t *micros)
{
    static const struct {
        const char *suffix;
        uint64_t scale;
    } units[] = {{"ms", 1000}, {"s", kSecond}, {"m", 60 * kSecond}};
    for (const auto &u : units) {
        const std::string suffix(u.suffix);
        if (text.size() <= suffix.size() || text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        uint64_t n = 0;
        if (!parseCount(text.substr(0, text.size() - suffix.size()), kLongestUs, &n))
            return false;
        *micros = n * u.scale;
        return *micros > 0 && *micros <= kLongestUs;
    }
    return false;
}

// 0, 1, 0.02, .5: written out by hand, since the C library's reading follows
// the locale's decimal mark.
bool parseProbability(const std::string &text, double *value)
{
    const size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    if ((whole.empty() && fraction.empty()) || (!whole.empty() && !allDigits(whole))
        || (dot != std::string::npos && !allDigits(fraction)))
        return false;
    double v = whole.empty() ? 0 : double(std::stoull(whole));
    double scale = 0.1;
    for (char c : fraction) {
        v += (c - '0') * scale;
        scale /= 10;
    }
    *value = v;
    return v >= 0 && v <= 1;
}

bool parseWhen(const std::string &text, FaultRule *rule)
{
    const size_t eq = text.find('=');
    if (eq == std::string::npos)
        return false;
    const std::string key = text.substr(0, eq);
    const std::string value = text.substr(eq + 1);
    if (key == "after") {
        rule->when = FaultWhen::AfterTransfers;
        return parseCount(value, 1000000000, &rule->at);
    }
    if (key == "t") {
        rule->when = FaultWhen::AtTime;
        return value == "0" ? (rule->at = 0, true) : parseDuration(value, &rule->at);
    }
    if (key == "every") {
        rule->when = FaultWhen::Every;
        return parseDuration(value, &rule->at);
    }
    return false;
}

std::string trimmed(const std::string &text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool parseRule(const std::string &part, FaultRule *rule, std::string *error)
{
    const size_t at = part.find('@');
    const std::string head = part.substr(0, at);
    const size_t colon = head.find(':');
    const std::string name = head.substr(0, colon);
    const KindInfo *info = nullptr;
    for (const KindInfo &k : kKinds) {
        if (name == k.name)
            info = &k;
    }
    if (!info) {
        *error = "unknown fault kind " + quoted(name) + " in " + quoted(part) + " (kinds: " + kKindList + ")";
        return false;
    }
    rule->kind = info->kind;
    rule->count = info->defaultCount;
    rule->durationUs = info->defaultDurationUs;

    if (colon != std::string::npos) {
        const std::string arg = head.substr(colon + 1);
        uint64_t n = 0;
        if ((info->accepts & kProbability) && parseProbability(arg, &rule->probability)) {
        } else if ((info->accepts & kCount) && parseCount(arg, kMostCount, &n)) {
            rule->count = static_cast<int>(n);
            rule->durationUs = 0;
        } else if ((info->accepts & kDuration) && parseDuration(arg, &rule->durationUs)) {
        } else {
            const char *wanted = info->accepts == kProbability ? "a probability from 0 to 1"
                : info->accepts == kDuration                   ? "a duration such as 500ms, 2s or 1m"
                : info->accepts == kCount                      ? "a count from 0 to 1000000"
                                                               : "a count, or a duration such as 500ms, 2s or 1m";
            *error = "bad value " + quoted(arg) + " in " + quoted(part) + ": " + info->name + " takes " + wanted;
            return false;
        }
    } else if (info->kind == FaultKind::Random) {
        *error = "random needs a probability, as in random:0.02, not " + quoted(part);
        return false;
    }

    if (at != std::string::npos) {
        const std::string when = part.substr(at + 1);
        if (info->kind == FaultKind::Random) {
            *error = "random applies to every transfer and takes no @, in " + quoted(part);
            return false;
        }
        if (!parseWhen(when, rule)) {
            *error = "bad time " + quoted(when) + " in " + quoted(part)
                + " (after=TRANSFERS, t=DURATION or every=DURATION, as in @after=10, @t=5s, @every=30s)";
            return false;
        }
    }
    return true;
}

} // namespace

bool parseFaultList(const std::string &text, std::vector<FaultRule> *rules, std::string *error)
{
    std::vector<FaultRule> parsed;
    std::string message;
    if (trimmed(text).empty()) {
        rules->clear();
        return true;
    }
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string part = trimmed(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (part.empty()) {
            message = "empty fault in " + quoted(text) + ": faults are separated by single commas";
        } else {
            FaultRule rule;
            if (parseRule(part, &rule, &message))
                parsed.push_back(rule);
        }
        if (!message.empty()) {
            if (error)
                *error = message;
            return false;
        }
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    *rules = parsed;
    return true;
}

const char *faultKindName(FaultKind kind)
{
    for (const KindInfo &k : kKinds) {
        if (k.kind == kind)
            return k.name;
    }
    return "";
}

} // namespace sim
