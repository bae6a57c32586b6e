// Keeps the operating system from throttling the panel while it polls the
// unit ten times a second. Called once, before the application object exists.
//
// macOS: begins an NSProcessInfo activity (user-initiated and latency-critical)
//   with the reason "Polling USB Device" on 10.9 and later; App Nap would
//   otherwise stretch the 100 ms timer to seconds once the window is covered.
//   The token is held for the life of the process and never ended.
// Linux: there is no App Nap; what stretches timers there is the thread's
//   timer slack, which desktop session managers raise for background
//   processes. The main thread, which runs the three polling timers, asks for
//   the smallest slack, so the precise 100 ms timer stays at 10 Hz.
// Elsewhere: nothing.
#pragma once

namespace panel {

// True when the platform accepted the request.
bool beginPollingActivity();

} // namespace panel
