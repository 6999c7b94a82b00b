// olvasum: sums the requests and kilobytes of every user address in the
// OLVA v.3 connection log and prints them as a table.
#include "shell/shell.h"
#include "summation/summation.h"

#include <cstdio>
#include <new>

namespace {

// Every allocation the tally makes comes through operator new; when one
// fails the run ends with a message rather than an exception.
void out_of_memory() {
    report_fatal("Out of memory: ", "");
}

} // namespace

int main() {
    std::set_new_handler(out_of_memory);
    tally_clear();
    std::fputs("OLVA v.3 Connection Log Summator\n\n", stdout);
    sweep_log();
    print_summary();

    // Redirected output is written in blocks; a table lost to a full disk
    // must not end as a success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::fputs("\rError: standard output could not be written\n", stderr);
        return 1;
    }
    return 0;
}
