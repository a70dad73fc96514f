#pragma once
// Memory figures of this process, for tests and tools that watch for growth.

#include <cstdio>
#include <malloc.h>
#include <unistd.h>

namespace zrvtest
{

// Resident memory in KiB (from /proc/self/statm), -1 when it cannot be read.
inline long ResidentKb()
{
    long pages = -1;
    long resident = -1;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = -1;
        std::fclose(f);
    }
    return resident < 0 ? -1 : resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Bytes of the C heap in use (allocated and not freed).
inline long HeapInUseBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return long(info.uordblks + info.hblkhd);
}

// AddressSanitizer keeps freed memory in quarantine and has its own heap: figures are not
// comparable to a normal build and growth limits do not apply.
constexpr bool kUnderAddressSanitizer =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

} // namespace zrvtest
