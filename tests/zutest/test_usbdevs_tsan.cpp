// ThreadSanitizer cannot see synchronisation done inside Qt, which is not
// instrumented: the end of QTest's watchdog thread then looks like a race on
// its wait condition. Accesses made by uninstrumented libraries are ignored;
// everything the registry and these tests do is still checked.
extern "C" const char *__tsan_default_options()
{
    return "ignore_noninstrumented_modules=1";
}
