#include "shell/shell.h"

#include <cstdio>
#include <cstdlib>

void report_fatal(const char* message, const char* detail) {
    // The leading carriage return writes the message over whatever indicator
    // the console line still shows. Neither text is read as a format.
    std::printf("\r%s%s\n", message, detail);
    std::exit(1);
}
