#include "summation/summation.h"

#include <cinttypes>
#include <cstdint>

namespace {

struct Megabytes {
    char text[24];
};

// kilobytes / 1024 to two decimals, worked out exactly in integers: the
// nearest hundredth, an exact half going to the even one. This is what a
// correctly rounding printf("%.2f") gives, on every C runtime.
Megabytes megabytes(std::uint32_t kilobytes) {
    const std::uint64_t scaled = std::uint64_t{kilobytes} * 100;
    std::uint64_t hundredths = scaled / 1024;
    const std::uint64_t rest = scaled % 1024;
    if (rest > 512 || (rest == 512 && hundredths % 2 == 1))
        ++hundredths;
    Megabytes result;
    std::snprintf(result.text, sizeof result.text, "%" PRIu64 ".%02u", hundredths / 100,
                  static_cast<unsigned>(hundredths % 100));
    return result;
}

// The share against one hundredth of the total, truncated. Below 100
// kilobytes in all, that hundredth is zero and the share is taken as
// kilobytes * 100 / total instead.
std::uint64_t usage(std::uint32_t kilobytes, std::uint32_t total) {
    const std::uint32_t hundredth = total / 100;
    if (hundredth != 0)
        return kilobytes / hundredth;
    if (total == 0)
        return 0;
    return std::uint64_t{kilobytes} * 100 / total;
}

// The signed 32-bit value of a wrapped count, without relying on how a
// narrowing conversion treats values past INT32_MAX.
long as_signed(std::uint32_t count) {
    return count <= INT32_MAX ? static_cast<long>(count) : -static_cast<long>(~count) - 1;
}

} // namespace

void write_summary(std::FILE* out) {
    tally_sort();
    std::uint32_t total_requests = 0;
    std::uint32_t total_kilobytes = 0;
    for (const AddressTally* entry = tally_head; entry != nullptr; entry = entry->next_entry) {
        total_requests += entry->requests;
        total_kilobytes += entry->kilobytes;
    }

    std::fprintf(out, "%-16s %11s %16s %10s\n", "User IP", "N req.", "MBytes sent", "Usage");
    for (const AddressTally* entry = tally_head; entry != nullptr; entry = entry->next_entry) {
        std::fprintf(out, "%-16s %11ld %16s %9" PRIu64 "%%\n", entry->user_ip.c_str(),
                     as_signed(entry->requests), megabytes(entry->kilobytes).text,
                     usage(entry->kilobytes, total_kilobytes));
    }
    std::fprintf(out, "\n%-16s %11ld %16s\n", "Total:", as_signed(total_requests),
                 megabytes(total_kilobytes).text);
}

void print_summary() {
    write_summary(stdout);
}
