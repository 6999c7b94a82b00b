#include "shell/platform.h"
#include "shell/shell.h"

#include <cstdlib>
#include <cstring>

namespace {

bool same_ignoring_case(std::string_view a, std::string_view b) {
    auto lower = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
    };
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The header line and at most four lines after it: up to and including the
// fifth line feed from the header's first byte.
std::string_view section_window(std::string_view from_header) {
    std::size_t end = 0;
    for (int line = 0; line < 5; ++line) {
        const std::size_t feed = from_header.find('\n', end);
        if (feed == std::string_view::npos)
            return from_header;
        end = feed + 1;
    }
    return from_header.substr(0, end);
}

char* copy_text(std::string_view text) {
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy != nullptr) {
        std::memcpy(copy, text.data(), text.size());
        copy[text.size()] = '\0';
    }
    return copy;
}

} // namespace

const char* find_environment(const char* const* environment, std::string_view name) {
    const char* first = nullptr;
    for (; *environment != nullptr; ++environment) {
        const std::string_view entry(*environment);
        if (entry.size() <= name.size() || entry[name.size()] != '=' ||
            !same_ignoring_case(entry.substr(0, name.size()), name))
            continue;
        const char* value = *environment + name.size() + 1;
        if (entry.substr(0, name.size()) == name)
            return value;
        if (first == nullptr)
            first = value;
    }
    return first;
}

LogPathSearch find_log_path(std::string_view config) {
    config = config.substr(0, config.find('\0'));
    const std::size_t header = config.find("[Connect Log]");
    if (header == std::string_view::npos)
        return {LogPathStatus::section_missing, {}};

    const std::string_view window = section_window(config.substr(header));
    constexpr std::string_view directive = "File Name=";
    const std::size_t found = window.find(directive);
    if (found == std::string_view::npos)
        return {LogPathStatus::directive_missing, {}};

    // Nothing is trimmed: the value is every byte up to a carriage return.
    std::string_view value = window.substr(found + directive.size());
    return {LogPathStatus::found, value.substr(0, value.find('\r'))};
}

char* join_strings(const char* a, const char* b, const char* c, const char* d, const char* e) {
    const char* parts[] = {a, b, c, d, e};
    std::size_t length = 0;
    for (const char* part : parts)
        length += std::strlen(part);
    auto* joined = static_cast<char*>(std::malloc(length + 1));
    if (joined == nullptr)
        report_fatal("Out of memory: ", a);
    char* end = joined;
    for (const char* part : parts) {
        const std::size_t n = std::strlen(part);
        std::memcpy(end, part, n);
        end += n;
    }
    *end = '\0';
    return joined;
}

char* locate_log_file() {
    const char* root = find_environment(process_environment(), "SYSTEMROOT");
    if (root == nullptr)
        root = find_environment(process_environment(), "windir");
    if (root == nullptr)
        report_fatal("Error: %SYSTEMROOT% or %windir% environment not found.", "");

    char* config_path = join_strings(root, config_file_name, "", "", "");
    const LoadedText config = load_file(config_path);
    const LogPathSearch search = find_log_path({config.text, config.size});
    if (search.status == LogPathStatus::section_missing)
        report_fatal("Error: [Connect Log] not found in ini file", "");
    if (search.status == LogPathStatus::directive_missing)
        report_fatal("Error: File Name directive not found in ini file", "");

    char* path = copy_text(search.value);
    if (path == nullptr)
        report_fatal("Out of memory: ", config_path);
    std::free(config.text);
    return path;
}
