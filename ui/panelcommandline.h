// The panel's own options. --help and --version are answered, and a command
// line the panel does not understand is refused, before any window exists
// (and without a display), like --simulate is handled before anything else;
// the data manager has started by then, being static, but nothing else of
// the panel runs.
#pragma once

namespace panel {

struct CommandLine {
    // >= 0: exit with this status now (help or version printed, or a wrong
    // command line refused with one line on standard error: 2).
    int exitStatus = -1;
    // False with --no-update-check.
    bool updateCheck = true;
};

CommandLine readCommandLine(int argc, char **argv);

} // namespace panel
