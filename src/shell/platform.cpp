#include "shell/platform.h"

#include <cstdint>
#include <sys/stat.h>

#ifdef _WIN32
#include <stdlib.h>
#define environ _environ
#else
#include <sys/mman.h>
#include <unistd.h>
extern char** environ;
#endif

#ifdef _WIN32
const char config_file_name[] = "\\olva30.ini";
#else
const char config_file_name[] = "/olva30.ini";
#endif

const char* const* process_environment() {
    return environ;
}

bool seek_to(std::FILE* file, std::int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(file, offset, whence) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), whence) == 0;
#endif
}

std::int64_t tell_position(std::FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return ftello(file);
#endif
}

bool is_directory(std::FILE* file) {
    struct stat status;
    return fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode);
}

void advise_large_buffer(void* buffer, std::size_t size) {
#ifdef MADV_HUGEPAGE
    // Only whole pages can be advised: from the first page boundary on.
    constexpr std::uintptr_t page = 4096;
    const auto start = reinterpret_cast<std::uintptr_t>(buffer);
    const std::uintptr_t aligned = (start + page - 1) & ~(page - 1);
    if (size > aligned - start + page)
        madvise(reinterpret_cast<void*>(aligned), size - (aligned - start), MADV_HUGEPAGE);
#else
    (void)buffer;
    (void)size;
#endif
}
