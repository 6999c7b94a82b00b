#include "shell/platform.h"
#include "shell/shell.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

LoadedText load_file(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr || is_directory(file))
        report_fatal("File not found: ", path);
    if (!seek_to(file, 0, SEEK_END))
        report_fatal("Error seek: ", path);
    const std::int64_t end = tell_position(file);
    if (end < 0)
        report_fatal("Error seek: ", path);
    if (end == 0)
        report_fatal("File zero size: ", path);
    if (!seek_to(file, 0, SEEK_SET))
        report_fatal("Error seek: ", path);

    // One byte more for the NUL; a size this address space cannot hold is
    // reported like any other allocation that fails.
    if (static_cast<std::uint64_t>(end) >= SIZE_MAX)
        report_fatal("Out of memory: ", path);
    const auto size = static_cast<std::size_t>(end);
    auto* text = static_cast<char*>(std::malloc(size + 1));
    if (text == nullptr)
        report_fatal("Out of memory: ", path);
    advise_large_buffer(text, size + 1);

    if (std::fread(text, size, 1, file) != 1)
        report_fatal("File read error: ", path);
    if (std::fclose(file) != 0)
        report_fatal("File close error: ", path);
    text[size] = '\0';
    return {text, size};
}
