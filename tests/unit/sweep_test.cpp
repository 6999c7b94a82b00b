#include "summation/summation.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

// Where n spaces from `position` lead, by the definition: byte by byte.
const char* passed_by_hand(const char* position, const char* end, unsigned n) {
    for (; n > 0; --n) {
        while (position < end && *position != ' ')
            ++position;
        if (position == end)
            return nullptr;
        ++position;
    }
    return position;
}

TEST(PassSpaces, CountsEverySpaceAndStopsAtTheEnd) {
    const std::string text = "a  b c";
    const char* start = text.data();
    const char* end = start + text.size();
    SpaceCursor cursor = space_cursor(start, end);
    EXPECT_EQ(pass_spaces(cursor, 0), start);
    EXPECT_EQ(pass_spaces(cursor, 1), start + 2);
    EXPECT_EQ(pass_spaces(cursor, 1), start + 3);
    EXPECT_EQ(pass_spaces(cursor, 1), start + 5);
    EXPECT_EQ(pass_spaces(cursor, 1), nullptr);
    // A space just past the end is never seen.
    cursor = space_cursor(start + 3, start + 4);
    EXPECT_EQ(pass_spaces(cursor, 1), nullptr);
}

TEST(PassSpaces, AgreesWithTheDefinitionAcrossBlocks) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        // Texts up to a few blocks long, spaces dense or sparse, NULs and
        // high bytes among them.
        std::string text(random() % 300, 'x');
        const unsigned density = 1 + random() % 20;
        for (char& c : text) {
            const unsigned r = random() % density;
            c = r == 0 ? ' ' : r == 1 ? '\0' : r == 2 ? '\xa0' : static_cast<char>('a' + r);
        }
        const char* end = text.data() + text.size();
        const char* position = text.data() + (text.empty() ? 0 : random() % text.size());
        SpaceCursor cursor = space_cursor(position, end);
        for (const char* expected = position; expected != nullptr;) {
            const unsigned n = random() % 6;
            expected = passed_by_hand(expected, end, n);
            ASSERT_EQ(pass_spaces(cursor, n), expected) << "round " << round;
        }
    }
}

TEST(ReadDecimal, ReadsAsAtolWithThirtyTwoBitWrap) {
    const std::pair<std::string, std::uint32_t> cases[] = {
        {"123 x", 123},
        {"0042\r\n", 42},
        {" \t\n\v\f\r7", 7},
        {"+5", 5},
        {"-5", 0u - 5},
        {"--5", 0},
        {"+-5", 0},
        {"- 5", 0},
        {"abc", 0},
        {"", 0},
        {"12ab", 12},
        {"2147483647", 2147483647u},
        {"2147483648", 2147483648u},
        {"4294967295", 4294967295u},
        {"4294967296", 0},
        {"4294967297", 1},
        {"-2147483649", 2147483647u},
        {"\xa0"
         "5",
         0},
        {"\x80", 0},
        {"1\0"
         "2"s,
         1},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(read_decimal(text.c_str()), value) << '"' << text << '"';
}

struct Swept {
    std::vector<std::string> rows;
    std::string indicator;
};

// Sweeps the text into an empty tally and returns it as "address requests
// kilobytes" rows, in list order, with what the indicator wrote.
Swept sweep(std::string text) {
    tally_clear();
    std::FILE* indicator = std::tmpfile();
    sweep_text({text.data(), text.size()}, indicator);
    Swept swept;
    std::rewind(indicator);
    for (int c; (c = std::fgetc(indicator)) != EOF;)
        swept.indicator += static_cast<char>(c);
    std::fclose(indicator);
    for (const AddressTally* e = tally_head; e != nullptr; e = e->next_entry)
        swept.rows.push_back(e->user_ip + ' ' +
                             std::to_string(static_cast<std::int32_t>(e->requests)) + ' ' +
                             std::to_string(e->kilobytes));
    tally_clear();
    return swept;
}

const std::string record_a = "2026-12-01 08:00:01 10.0.0.1 bob http www.example.com 80 3 120\r\n";
const std::string record_b = "2026-12-01 08:00:02 10.0.0.2 ann ftp ftp.example.com 21 1 7\r\n";

TEST(SweepText, SumsRecordsPerAddressInFirstSeenOrder) {
    const Swept s = sweep(record_b + record_a + record_b + record_a + record_a);
    EXPECT_EQ(s.rows, (std::vector<std::string>{"10.0.0.2 2 14", "10.0.0.1 9 360"}));
}

TEST(SweepText, MalformedRecordsShiftTheFields) {
    // A doubled space makes every later record be read one field early.
    const std::string doubled = "d t 10.0.0.9 u p h  80 5 6\r\n";
    EXPECT_EQ(sweep(doubled + record_a + record_a).rows,
              (std::vector<std::string>{"10.0.0.9 80 5", "08:00:01 160 6"}));
    // Fields that are no numbers count as zero, a sign is honoured.
    EXPECT_EQ(sweep("d t a u p h 80 x -4\r\nd t a u p h 80 +2 y\r\n").rows,
              (std::vector<std::string>{"a 2 4294967292"}));
}

TEST(SweepText, AddressEndsAtSpaceOrNulAndIsKeptWhole) {
    const std::string long_address(40, '7');
    EXPECT_EQ(
        sweep("d t " + long_address + " u p h 80 1 2\r\n" + "d t ab\0cd u p h 80 1 2\r\n"s).rows,
        (std::vector<std::string>{long_address + " 1 2", "ab 1 2"}));
}

TEST(SweepText, CutFinalRecordIsNotAdded) {
    EXPECT_EQ(sweep(record_a + "2026-12-01 08:00:03 10.0.0.3 carl http").rows,
              (std::vector<std::string>{"10.0.0.1 3 120"}));
    EXPECT_EQ(sweep(record_a + "2026-12-01 08:00:03 10.0.0.3 u p h 80 77").rows,
              (std::vector<std::string>{"10.0.0.1 3 120"}));
}

TEST(SweepText, TenBytesOrFewerHoldNoRecord) {
    EXPECT_TRUE(sweep("a b c d e ").rows.empty());
    EXPECT_EQ(sweep("a b c d e f g 1 2").rows, std::vector<std::string>{"c 1 2"});
    EXPECT_TRUE(sweep("x").rows.empty());
}

TEST(SweepText, IndicatorShowsEachGrowingPercentOnce) {
    const std::string erase = "\r                  \r";
    // Below 100 bytes there is no percentage to show.
    EXPECT_EQ(sweep(record_a).indicator, erase);

    // 1050 bytes whose last field 9 starts at offset 1040: the step is 10 bytes.
    std::string text = "d t a u p h 80 1 1\r\n";
    text += std::string(1040 - text.size() - 15, 'x') + " t b u p h 1 2 34567890\r\n";
    ASSERT_EQ(text.size(), 1050u);
    EXPECT_EQ(sweep(text).indicator, "\rWorking... 1%\rWorking... 104%" + erase);
}

} // namespace
