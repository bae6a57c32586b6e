#include "tools/helptext.h"

namespace {

const char kOverview[] =
    "Usage: stratactl [OPTIONS] COMMAND [ARGUMENTS]\n"
    "\n"
    "Command-line client for the KORVEN Strata USB mixers.\n"
    "\n"
    "Commands:\n"
    "  list                 units present, with slot and model\n"
    "  info                 product name, firmware, sample rate, serial number\n"
    "  meters               the 97 level meters, in dB\n"
    "  get SETTING [CH]     read a setting of the unit\n"
    "  set SETTING [CH] V   change a setting of the unit\n"
    "  assign [IN OUT]      list the output assignments, or route IN to OUT\n"
    "  firmware IMAGE       send a firmware image to a Strata 96 and verify it\n"
    "  checksum [ARG]       the firmware checksum the unit reports\n"
    "  debug                the unit's debug text\n"
    "  help [COMMAND]       this text, or the usage of one command\n"
    "\n"
    "Options:\n"
    "  --simulate MODEL     run against a simulated unit (\"Strata 96\", \"Strata 10\",\n"
    "                       \"Strata 14\" or \"Strata 20\") instead of real units\n"
    "  --faults LIST        faults for the simulated unit (see stratactl help faults)\n"
    "  --unit N             use the Nth unit present, counted from 0 in slot order\n"
    "  --json               machine-readable output (list, info, meters, get)\n"
    "  --engine             run info or meters through the panel's device service\n"
    "  -h, --help           usage; \"stratactl COMMAND --help\" for one command\n"
    "  -v, --version        the program's version\n"
    "\n"
    "Exit status: 0 success, 1 the unit is missing, did not answer or refused,\n"
    "2 a wrong command line, 3 the unit cancelled a firmware transfer. Errors\n"
    "are one line on standard error. Standard output carries only the result;\n"
    "the device library's diagnostic lines go to standard error. See\n"
    "stratactl(1) for the JSON fields.\n";

const char kList[] =
    "Usage: stratactl list [--quiet] [--json]\n"
    "\n"
    "Lists the units present: unit number (for --unit), registry slot and model.\n"
    "\n"
    "  --quiet   print nothing; exit status 0 when a unit is present, 1 when none\n"
    "  --json    {\"units\": [{\"unit\", \"slot\", \"model\"}, ...]}\n";

const char kInfo[] =
    "Usage: stratactl info [--json] [--engine]\n"
    "\n"
    "Shows the unit's product name, firmware version and build (as 1.02 0023),\n"
    "sample rate and, for the Strata 96, serial number.\n"
    "\n"
    "  --json    one JSON object: product, version, build, firmware,\n"
    "            sample_rate, serial (null when the model has none)\n"
    "  --engine  ask through the panel's device service instead of the library;\n"
    "            also shows the build date and time and the rec-function bytes\n";

const char kMeters[] =
    "Usage: stratactl meters [--watch [--count N] [--interval MS]] [--json] [--engine]\n"
    "\n"
    "Reads the 97 level meters and shows each with its channel kind, channel,\n"
    "linear level (0 to 32767, full scale) and dB relative to full scale;\n"
    "silence shows as -inf.\n"
    "\n"
    "  --watch        one line per refresh: input strips 1 to 22, then main L/R,\n"
    "                 in whole dB\n"
    "  --count N      stop after N refreshes (default: until interrupted)\n"
    "  --interval MS  time between refreshes, 10 to 60000 (default 100)\n"
    "  --json         {\"meters\": [{\"index\", \"kind\", \"kind_name\", \"channel\",\n"
    "                 \"level\", \"db\"}, ...]}, one object per line in watch mode;\n"
    "                 db is null for silence\n"
    "  --engine       read through the panel's device service, polled every 100 ms\n";

const char kGet[] =
    "Usage: stratactl get SETTING [CHANNEL] [--json]\n"
    "\n"
    "Settings:\n"
    "  autopowersave        on or off\n"
    "  samplerate           in Hz\n"
    "  fader CHANNEL        level, 0 to 255\n"
    "  mute CHANNEL         on (muted) or off\n"
    "  stereo CHANNEL       stereo or mono\n"
    "\n"
    "CHANNEL is [KIND:]NUMBER; KIND is line (1-4), master (1-6), computer (1-22),\n"
    "analog (1-22, the default) or direct (1-4), or its number 1 to 5.\n"
    "\n"
    "  --json    {\"setting\", \"channel\", \"value\"}: channel \"KIND:NUMBER\" or null;\n"
    "            value a number (samplerate, fader), true/false (autopowersave,\n"
    "            mute) or \"stereo\"/\"mono\"\n";

const char kSet[] =
    "Usage: stratactl set SETTING [CHANNEL] VALUE\n"
    "\n"
    "Settings:\n"
    "  autopowersave on|off\n"
    "  samplerate HZ        44100, 48000, 88200, 96000, 176400 or 192000\n"
    "  fader CHANNEL LEVEL  0 to 255\n"
    "  mute CHANNEL on|off\n"
    "  stereo CHANNEL stereo|mono\n"
    "\n"
    "CHANNEL is [KIND:]NUMBER as for get.\n";

const char kAssign[] =
    "Usage: stratactl assign [IN_KIND:IN_CH OUT_KIND:OUT_CH]\n"
    "\n"
    "Without arguments lists the unit's output assignments, one per line, as\n"
    "source -> destination. With two channels routes the source IN to the\n"
    "destination OUT, for example: stratactl assign computer:1 line:3\n";

const char kFaults[] =
    "Usage: stratactl --simulate MODEL --faults LIST COMMAND\n"
    "       STRATA_SIMULATE_FAULTS=LIST (any program on the simulated unit)\n"
    "\n"
    "Makes the simulated unit misbehave, as a real one can. LIST is rules\n"
    "separated by commas, each KIND[:VALUE][@WHEN]:\n"
    "\n"
    "  stall, timeout       transfers stall or time out\n"
    "  ioerror              transfers fail with an I/O error\n"
    "  senderror            requests fail with an I/O error; reads pass\n"
    "  busy                 reply reads say the unit is busy\n"
    "  silence              reply reads come back empty\n"
    "  split, debugtext     answers come one item per message, or with debug text\n"
    "  malformed            broken reply messages (VALUE: how many)\n"
    "  dropmeters           the next meter read stops after VALUE values (default 0)\n"
    "  extrameters          the next meter read brings VALUE values too many\n"
    "  unplug               the unit is pulled out for VALUE (default 1s), then back\n"
    "  random:P             every transfer meets one short fault with probability P\n"
    "  fwcancel             the unit cancels a firmware transfer\n"
    "  fwoffset             the unit misreports its offset during a firmware transfer\n"
    "  fwnoverify           the unit never finishes a firmware transfer's verification\n"
    "\n"
    "VALUE is a count (transfers, requests, reply reads or answers; default 1) or a\n"
    "time such as 500ms, 2s or 1m that the fault lasts. WHEN is after=N (after N\n"
    "transfers), t=TIME (that long after the start) or every=TIME; without it the\n"
    "fault applies at once. Random faults are the same in every run.\n"
    "\n"
    "Example: stall:3@after=10,senderror:1,unplug@t=5s,busy:2s@every=30s,random:0.02\n"
    "\n"
    "A list that does not parse is refused with exit status 2 before anything runs.\n";

const char kFirmware[] =
    "Usage: stratactl firmware IMAGE\n"
    "\n"
    "Sends the firmware image IMAGE to the unit, which must be a Strata 96, and\n"
    "waits for the unit to verify it. Do not unplug the unit meanwhile. On a\n"
    "terminal a progress line shows percentage, bytes, rate and time left;\n"
    "elsewhere one line sums up the transfer. The device library's lines go to\n"
    "standard error. Exit status 0 once the unit has verified the image, 3 when\n"
    "the unit cancelled, 1 for any other failure. The image must exist, be\n"
    "readable, not be empty and be smaller than 4 GiB.\n";

const char kChecksum[] =
    "Usage: stratactl checksum [ARG]\n"
    "\n"
    "Asks the unit for its firmware checksum and prints it in hexadecimal and\n"
    "decimal. ARG, a 32-bit number (decimal or 0x...), is passed to the unit\n"
    "as it is; its meaning is the unit's own. Default 0.\n";

const char kDebug[] =
    "Usage: stratactl debug\n"
    "\n"
    "Reads one reply of the unit without asking anything and prints the debug\n"
    "text it carries; nothing when it carries none.\n";

const char kHelp[] =
    "Usage: stratactl help [COMMAND]\n"
    "\n"
    "Shows the overview, or the usage of COMMAND. \"stratactl help faults\"\n"
    "explains the simulated unit's fault lists.\n";

} // namespace

QString helpText(const QString &command)
{
    static const struct {
        const char *command;
        const char *text;
    } texts[] = {
        {"", kOverview},  {"list", kList}, {"info", kInfo},     {"meters", kMeters},
        {"get", kGet},    {"set", kSet},   {"assign", kAssign}, {"firmware", kFirmware},
        {"checksum", kChecksum}, {"debug", kDebug}, {"help", kHelp}, {"faults", kFaults},
    };
    for (const auto &t : texts) {
        if (command == QLatin1String(t.command))
            return QString::fromLatin1(t.text);
    }
    return QString();
}
