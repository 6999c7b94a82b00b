// Fuzz target: the configuration search on arbitrary bytes. It must find a
// path or one of its two failures, and a path it finds must lie inside the
// searched text, before its first NUL, with no carriage return in it.
#include "shell/shell.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view config(reinterpret_cast<const char*>(data), size);
    const LogPathSearch search = find_log_path(config);
    if (search.status != LogPathStatus::found)
        return 0;
    const std::size_t offset = static_cast<std::size_t>(search.value.data() - config.data());
    const std::size_t text_end =
        config.find('\0') == std::string_view::npos ? size : config.find('\0');
    if (offset < 10 || offset + search.value.size() > text_end ||
        config.substr(offset - 10, 10) != "File Name=" ||
        search.value.find('\r') != std::string_view::npos)
        std::abort();
    return 0;
}
