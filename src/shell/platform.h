// Everything that differs between the Windows program and the POSIX build.
//
// Standard output and standard error are left in the C runtime's text mode
// on both: on Windows each newline goes out as CR LF while a lone carriage
// return goes out unchanged, which the console indicators rely on.
#pragma once

#include <cstdint>
#include <cstdio>

// Appended to the Windows directory to name the configuration file.
extern const char config_file_name[];

// The process's environment as a null-terminated array of "NAME=value".
const char* const* process_environment();

// 64-bit file positioning, so that logs over 2 GiB are measured whole.
bool seek_to(std::FILE* file, std::int64_t offset, int whence);
std::int64_t tell_position(std::FILE* file);

// Whether the open file is a directory (which POSIX lets fopen open).
bool is_directory(std::FILE* file);

// Tells the system that a buffer about to be filled with a whole log is
// large and read once: on Linux, huge pages, which take a gigabyte log's
// page faults from hundreds of thousands to hundreds.
void advise_large_buffer(void* buffer, std::size_t size);
