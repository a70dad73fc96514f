// Linked into every program of a ZRV_SANITIZE build.  LeakSanitizer reads these suppressions at
// exit: memory that system libraries keep until the process ends (fontconfig's caches, D-Bus's
// connection data, both reached through Qt) is not a leak of this program.  Anything allocated
// through our own code is still reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n";
}
