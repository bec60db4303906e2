/* Preloaded into the sanitizer test runs only (never part of the game).
 *
 * Mesa unloads its driver (and GLFW its libraries) on terminate. Whatever the
 * driver allocated once and kept in its own globals then shows up as a leak
 * from an "<unknown module>": neither reachable nor attributable, so it cannot
 * be suppressed by library name. Keeping every library mapped leaves those
 * globals in place, where LeakSanitizer sees the memory as still referenced,
 * and any frame that does leak keeps its library's name. */
int dlclose(void *handle)
{
    (void)handle;
    return 0;
}
