// Qt is not built with ThreadSanitizer, so the synchronisation inside it (its
// mutexes, QTest's watchdog thread) is invisible: accesses made inside the
// uninstrumented Qt libraries are ignored. The service's own code, the
// registry and the simulated unit stay checked.
extern "C" const char *__tsan_default_options()
{
    return "ignore_noninstrumented_modules=1";
}
