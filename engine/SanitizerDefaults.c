/* Built into the game in AddressSanitizer builds only, so that a sanitizer
 * run started by hand ends like the test runs: with 0 unless our own code
 * leaks.
 *
 * Mesa unloads its driver (and GLFW its libraries) on terminate. Whatever the
 * driver allocated once and kept in its globals then shows up as a leak from
 * an unloaded, unnamed module that no suppression can match. Keeping every
 * library mapped leaves those globals in place, where LeakSanitizer sees the
 * memory as still referenced, and any frame that does leak keeps its
 * library's name, which the suppressions below match. */
int dlclose(void *handle)
{
    (void)handle;
    return 0;
}

/* The third-party suppressions of the test runs (tests/sanitizer/lsan.supp),
 * put in by the build. */
const char *__lsan_default_suppressions(void)
{
    return VANTORRA_LSAN_SUPPRESSIONS;
}
