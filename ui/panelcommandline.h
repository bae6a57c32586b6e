// The panel's own options. --help and --version are answered before any
// window exists (and without a display), like --simulate is handled before
// anything else; the data manager has started by then, being static, but
// nothing else of the panel runs.
#pragma once

namespace panel {

// Returns the exit status when the command line asks for help or the version
// (the answer is printed), or -1 when the window should start.
int answerInformationRequest(int argc, char **argv);

} // namespace panel
