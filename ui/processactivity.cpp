#include "ui/processactivity.h"

#include <QtGlobal>

#if defined(Q_OS_MACOS)
#include <CoreFoundation/CoreFoundation.h>
#include <QOperatingSystemVersion>
#include <objc/message.h>
#include <objc/runtime.h>
#elif defined(Q_OS_LINUX)
#include <sys/prctl.h>
#endif

namespace panel {

#if defined(Q_OS_MACOS)

namespace {
// NSActivityUserInitiated | NSActivityLatencyCritical
constexpr unsigned long long kActivityOptions = 0xFF00FFFFFFULL;
// The activity lasts as long as this token lives: the whole process.
id s_activityToken = nullptr;
} // namespace

bool beginPollingActivity()
{
    if (QOperatingSystemVersion::current() < QOperatingSystemVersion::OSXMavericks)
        return false;

    // Plain runtime calls, so the platform layer needs no Objective-C++.
    using GetInfoFn = id (*)(id, SEL);
    using BeginFn = id (*)(id, SEL, unsigned long long, id);
    using RetainFn = id (*)(id, SEL);
    id processInfoClass = reinterpret_cast<id>(objc_getClass("NSProcessInfo"));
    id processInfo = reinterpret_cast<GetInfoFn>(objc_msgSend)(processInfoClass, sel_registerName("processInfo"));
    if (!processInfo)
        return false;
    // CFString and NSString are toll-free bridged.
    id reason = reinterpret_cast<id>(const_cast<void *>(static_cast<const void *>(CFSTR("Polling USB Device"))));
    id token = reinterpret_cast<BeginFn>(objc_msgSend)(processInfo, sel_registerName("beginActivityWithOptions:reason:"),
                                                       kActivityOptions, reason);
    if (!token)
        return false;
    // The token comes back autoreleased; no pool exists yet to drain it, but
    // owning it keeps the activity alive whatever pool appears later.
    s_activityToken = reinterpret_cast<RetainFn>(objc_msgSend)(token, sel_registerName("retain"));
    return true;
}

#elif defined(Q_OS_LINUX)

bool beginPollingActivity()
{
    // Slack is per thread and inherited by threads created later; this runs
    // on the main thread, which owns the timers.
    return prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
}

#else

bool beginPollingActivity()
{
    return false;
}

#endif

} // namespace panel
