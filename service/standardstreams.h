// The three standard descriptors, made safe to rely on.
#pragma once

// Puts /dev/null on any of descriptors 0 to 2 that is closed. Started with
// one closed, a program would hand that number to the next file, event or
// socket it opens, and the library's lines written to "standard output"
// would land in it. Must run before anything opens a descriptor. True when
// all three are open afterwards.
bool openStandardStreams();
