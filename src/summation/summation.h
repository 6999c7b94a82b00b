// Summation: the sweep over the connection log, the per-address tally and
// the summary table.
#pragma once

#include "shell/shell.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// One distinct address with its sums. Both counts are kept unsigned so that
// sums wrap without undefined behaviour; `requests` is a signed count and is
// shown as one, `kilobytes` is shown unsigned.
struct AddressTally {
    std::string user_ip;
    std::uint32_t requests;
    std::uint32_t kilobytes;
    AddressTally* next_entry;
};

// The tally list: in the order addresses were first met, until tally_sort.
extern AddressTally* tally_head;

// Empties the tally, releasing any entries it holds.
void tally_clear();

// Adds the counts to the entry for `user_ip`, making one if there is none.
void tally_add(std::string_view user_ip, std::uint32_t requests, std::uint32_t kilobytes);

// Puts the list in ascending byte order of `user_ip`, bytes taken unsigned.
void tally_sort();

// The hash the tally's index files an address under.
std::uint64_t address_hash(std::string_view user_ip);

// Where a search for spaces stands in a text that ends at `end`: `position`,
// and the spaces not yet passed in the 64-byte block it is in.
struct SpaceCursor {
    const char* position;
    const char* block;
    const char* end;
    std::uint64_t spaces; // bit i: block[i] is a space not yet passed
};

SpaceCursor space_cursor(const char* position, const char* end);

// Moves the cursor right after the n-th space at or after its position and
// returns that position; null when fewer than n spaces lie before the end,
// which is never read past.
const char* pass_spaces(SpaceCursor& cursor, unsigned n);

// The decimal number at `position`, read as atol reads it but wrapping to 32
// bits on every platform: white space, one sign, digits. The text must be
// NUL-terminated.
std::uint32_t read_decimal(const char* position);

// Adds every record of the log to the tally, writing the percentage done to
// `indicator`.
void sweep_text(const LoadedText& log, std::FILE* indicator);

// Finds, loads and sweeps the connection log, with its console lines.
void sweep_log();

// Sorts the tally and writes the table with its totals row to `out`.
void write_summary(std::FILE* out);

void print_summary();
