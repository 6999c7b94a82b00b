#include "shell/shell.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

struct ConfigCase {
    const char* name;
    std::string config;
    LogPathStatus status;
    std::string value;
};

const ConfigCase config_cases[] = {
    {"plain", "[General]\r\nPort=80\r\n[Connect Log]\r\nFile Name=C:\\OLVA\\conn.log\r\n",
     LogPathStatus::found, "C:\\OLVA\\conn.log"},
    {"value at end of text", "[Connect Log]\r\nFile Name=x.log", LogPathStatus::found, "x.log"},
    {"no section", "[Connect]\r\nFile Name=x\r\n", LogPathStatus::section_missing, ""},
    {"section name is case-sensitive", "[connect log]\r\nFile Name=x\r\n",
     LogPathStatus::section_missing, ""},
    {"header inside a line", "x=[Connect Log]\r\nFile Name=a\r\n", LogPathStatus::found, "a"},
    {"fourth line after header is in the window",
     "[Connect Log]\r\na\r\nb\r\nc\r\nFile Name=in\r\n", LogPathStatus::found, "in"},
    {"fifth line after header is outside", "[Connect Log]\r\na\r\nb\r\nc\r\nd\r\nFile Name=out\r\n",
     LogPathStatus::directive_missing, ""},
    {"next section within the window", "[Connect Log]\r\nMax=1\r\n[Other]\r\nFile Name=next\r\n",
     LogPathStatus::found, "next"},
    {"inside a longer name", "[Connect Log]\r\nLog File Name=x\r\nFile Name=y\r\n",
     LogPathStatus::found, "x"},
    {"directive is case-sensitive", "[Connect Log]\r\nfile name=x\r\n",
     LogPathStatus::directive_missing, ""},
    {"empty value", "[Connect Log]\r\nFile Name=\r\n", LogPathStatus::found, ""},
    {"blanks and quotes kept", "[Connect Log]\r\nFile Name= \"a b\" \r\n", LogPathStatus::found,
     " \"a b\" "},
    {"line feeds alone run to the window's end", "[Connect Log]\nFile Name=a\nb\nc\nd\ne\nf\n",
     LogPathStatus::found, "a\nb\nc\nd\n"},
    {"only the first header counts",
     "[Connect Log]\r\n1\r\n2\r\n3\r\n4\r\n[Connect Log]\r\nFile Name=x\r\n",
     LogPathStatus::directive_missing, ""},
    {"NUL hides what follows", "[General]\r\n\0[Connect Log]\r\nFile Name=x\r\n"s,
     LogPathStatus::section_missing, ""},
    {"NUL ends the value", "[Connect Log]\r\nFile Name=ab\0cd\r\n"s, LogPathStatus::found, "ab"},
};

void PrintTo(const ConfigCase& c, std::ostream* os) {
    *os << c.name;
}

class FindLogPath : public testing::TestWithParam<ConfigCase> {};

TEST_P(FindLogPath, FindsTheFirstDirectiveInTheWindow) {
    const ConfigCase& c = GetParam();
    const LogPathSearch search = find_log_path(c.config);
    EXPECT_EQ(search.status, c.status);
    EXPECT_EQ(std::string(search.value), c.value);
}

INSTANTIATE_TEST_SUITE_P(Cases, FindLogPath, testing::ValuesIn(config_cases),
                         [](const testing::TestParamInfo<ConfigCase>& info) {
                             std::string name;
                             for (const char c : std::string(info.param.name))
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST(FindEnvironment, MatchesNamesWithoutRegardToCase) {
    const char* only_other_spelling[] = {"PATH=/bin", "SystemRoot=a", nullptr};
    EXPECT_STREQ(find_environment(only_other_spelling, "SYSTEMROOT"), "a");

    const char* exact_wins[] = {"systemroot=a", "SYSTEMROOT=b", "SystemRoot=c", nullptr};
    EXPECT_STREQ(find_environment(exact_wins, "SYSTEMROOT"), "b");

    const char* first_wins[] = {"SystemRoot=a", "systemroot=b", nullptr};
    EXPECT_STREQ(find_environment(first_wins, "SYSTEMROOT"), "a");

    const char* set_but_empty[] = {"WINDIR=", nullptr};
    EXPECT_STREQ(find_environment(set_but_empty, "windir"), "");

    const char* near_names[] = {"SYSTEMROOTX=a", "SYSTEMROO=b", "SYSTEMROOT", nullptr};
    EXPECT_EQ(find_environment(near_names, "SYSTEMROOT"), nullptr);
}

} // namespace
