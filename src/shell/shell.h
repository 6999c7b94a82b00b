// The program shell: the one fatal-error path, loading whole files, and
// finding the connection log through the product's configuration file.
#pragma once

#include <cstddef>
#include <string_view>

// A whole file in memory: `size` bytes exactly as they are on disk, followed
// by one NUL byte at text[size].
struct LoadedText {
    char* text;
    std::size_t size;
};

// Prints "\r", the message, the detail and a newline on standard output and
// ends the process with status 1.
[[noreturn]] void report_fatal(const char* message, const char* detail);

// Loads the named file whole, or ends the run with a message naming it.
LoadedText load_file(const char* path);

// A new text holding the five texts one after the other.
char* join_strings(const char* a, const char* b, const char* c, const char* d, const char* e);

// The connection log's path, as the product's configuration file names it.
char* locate_log_file();

// The value of the first environment variable called `name`, matched without
// regard to case; a variable spelled exactly as `name` wins over other
// spellings. `environment` is a null-terminated array of "NAME=value".
const char* find_environment(const char* const* environment, std::string_view name);

enum class LogPathStatus { found, section_missing, directive_missing };

struct LogPathSearch {
    LogPathStatus status;
    std::string_view value; // when found: a range inside the searched text
};

// Looks in the configuration text for the log's path: the first "File Name="
// within the "[Connect Log]" header line and the four lines after it. The
// text counts only up to its first NUL byte.
LogPathSearch find_log_path(std::string_view config);
