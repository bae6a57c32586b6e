// Qt is not built with ThreadSanitizer, so the synchronisation inside it (the
// hand-over of QTest's watchdog thread) is invisible and its teardown looks
// like a race. Accesses made inside the uninstrumented Qt libraries are
// ignored; the simulator and these tests stay checked.
#if defined(__SANITIZE_THREAD__)
extern "C" const char *__tsan_default_options()
{
    return "ignore_noninstrumented_modules=1";
}
#endif
