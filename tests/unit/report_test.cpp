#include "summation/summation.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

// The table for a tally of (address, requests, kilobytes).
std::string
summary(const std::vector<std::tuple<std::string, std::uint32_t, std::uint32_t>>& tally) {
    tally_clear();
    for (const auto& [address, requests, kilobytes] : tally)
        tally_add(address, requests, kilobytes);
    std::FILE* out = std::tmpfile();
    write_summary(out);
    std::string text;
    std::rewind(out);
    for (int c; (c = std::fgetc(out)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(out);
    tally_clear();
    return text;
}

const std::string header = "User IP               N req.      MBytes sent      Usage\n";

TEST(Summary, WorkedExample) {
    EXPECT_EQ(summary({{"10.0.0.3", 7, 24}, {"10.0.0.1", 12, 1000}, {"10.0.0.2", 30, 2048}}),
              header + "10.0.0.1                  12             0.98        33%\n"
                       "10.0.0.2                  30             2.00        68%\n"
                       "10.0.0.3                   7             0.02         0%\n"
                       "\n"
                       "Total:                    49             3.00\n");
}

TEST(Summary, EmptyTally) {
    EXPECT_EQ(summary({}), header + "\nTotal:                     0             0.00\n");
}

// One address alone: its megabytes and its usage against its own total.
TEST(Summary, MegabytesRoundHalvesToEvenAndUsageTruncates) {
    const std::tuple<std::uint32_t, const char*, const char*> cases[] = {
        {1024, "1.00", "102"},
        {1, "0.00", "100"},
        {5, "0.00", "100"},
        {10, "0.01", "100"},
        {128, "0.12", "128"},
        {384, "0.38", "128"},
        {640, "0.62", "106"},
        {896, "0.88", "112"},
        {150, "0.15", "150"},
        {299, "0.29", "149"},
        {201, "0.20", "100"},
        {0, "0.00", "0"},
        {4294967295u, "4194304.00", "100"},
    };
    for (const auto& [kilobytes, mb, use] : cases) {
        char row[128], total[128];
        std::snprintf(row, sizeof row, "%-16s %11d %16s %9s%%\n", "1.2.3.4", 1, mb, use);
        std::snprintf(total, sizeof total, "\n%-16s %11d %16s\n", "Total:", 1, mb);
        EXPECT_EQ(summary({{"1.2.3.4", 1, kilobytes}}), header + row + total) << kilobytes;
    }
}

TEST(Summary, TotalBelowOneHundredKilobytes) {
    EXPECT_EQ(summary({{"a", 1, 30}, {"b", 1, 60}}),
              header + "a                          1             0.03        33%\n"
                       "b                          1             0.06        66%\n"
                       "\n"
                       "Total:                     2             0.09\n");
}

TEST(Summary, WrappedSumsShowAsTheirThirtyTwoBitValues) {
    // Kilobytes wrap to a total of 1, so one share far exceeds 32 bits;
    // requests wrap past INT32_MAX to negative.
    EXPECT_EQ(summary({{"a", 2147483647u, 4294967295u}, {"b", 2, 2}}),
              header + "a                 2147483647       4194304.00 429496729500%\n"
                       "b                          2             0.00       200%\n"
                       "\n"
                       "Total:           -2147483647             0.00\n");
    EXPECT_EQ(summary({{"n", 0u - 3, 0u - 1024}}),
              header + "n                         -3       4194303.00       100%\n"
                       "\n"
                       "Total:                    -3       4194303.00\n");
}

TEST(Summary, LongAddressWidensItsRow) {
    const std::string address(20, 'x');
    EXPECT_EQ(summary({{address, 1, 100}}),
              header + address + "           1             0.10       100%\n" +
                  "\nTotal:                     1             0.10\n");
}

} // namespace
