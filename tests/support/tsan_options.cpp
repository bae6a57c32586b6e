// Qt is not built with ThreadSanitizer, so the synchronisation inside it (its
// mutexes, QTest's watchdog thread) is invisible and looks like races.
// Accesses made inside the uninstrumented libraries are ignored; the
// project's own code stays checked. Compiled into every test labelled tsan
// (an object of the test itself: from a static library the linker would
// leave it out).
extern "C" const char *__tsan_default_options()
{
    return "ignore_noninstrumented_modules=1";
}
