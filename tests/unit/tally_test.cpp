#include "summation/summation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> addresses_in_list_order() {
    std::vector<std::string> addresses;
    for (const AddressTally* e = tally_head; e != nullptr; e = e->next_entry)
        addresses.push_back(e->user_ip);
    return addresses;
}

TEST(Tally, ManyAddressesInRandomOrderSumAndSort) {
    tally_clear();
    std::mt19937 random(12345);
    std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> expected;
    std::vector<std::string> first_seen;
    for (int i = 0; i < 200000; ++i) {
        const std::string address = std::to_string(random() % 256) + '.' +
                                    std::to_string(random() % 256) + ".0." +
                                    std::to_string(random() % 200);
        const std::uint32_t requests = random() % 50, kilobytes = random();
        auto [it, added] = expected.try_emplace(address, 0, 0);
        if (added)
            first_seen.push_back(address);
        it->second.first += requests;
        it->second.second += kilobytes;
        tally_add(address, requests, kilobytes);
    }
    ASSERT_EQ(addresses_in_list_order(), first_seen);

    tally_sort();
    std::vector<std::string> sorted;
    for (const AddressTally* e = tally_head; e != nullptr; e = e->next_entry) {
        sorted.push_back(e->user_ip);
        EXPECT_EQ(e->requests, expected[e->user_ip].first) << e->user_ip;
        EXPECT_EQ(e->kilobytes, expected[e->user_ip].second) << e->user_ip;
    }
    std::sort(first_seen.begin(), first_seen.end());
    EXPECT_EQ(sorted, first_seen);
    tally_clear();
    EXPECT_EQ(tally_head, nullptr);
}

TEST(Tally, AddressesSharingAnIndexSlotStayApart) {
    // Two addresses whose hashes agree in their low 16 bits probe the same
    // slots in any index of up to 65536 slots.
    std::map<std::uint64_t, std::string> seen;
    std::string a, b;
    for (int i = 0; a.empty(); ++i) {
        const std::string address =
            "10.1." + std::to_string(i / 256) + '.' + std::to_string(i % 256);
        auto [it, added] = seen.try_emplace(address_hash(address) & 0xffff, address);
        if (!added) {
            a = it->second;
            b = address;
        }
    }
    tally_clear();
    tally_add(a, 1, 10);
    tally_add(b, 2, 20);
    tally_add(b, 3, 30);
    tally_add(a, 4, 40);
    ASSERT_EQ(addresses_in_list_order(), (std::vector<std::string>{a, b}));
    EXPECT_EQ(tally_head->requests, 5u);
    EXPECT_EQ(tally_head->kilobytes, 50u);
    EXPECT_EQ(tally_head->next_entry->requests, 5u);
    EXPECT_EQ(tally_head->next_entry->kilobytes, 50u);
    tally_clear();
}

TEST(Tally, SortsByUnsignedBytesWithPrefixesFirst) {
    tally_clear();
    for (const char* address : {"10.0.0.2", "\xc3\xa9", "192.168.0.20", "10.0.0.10", "z",
                                "10.0.0.1", "192.168.0.100", "10.0.0.01", ""})
        tally_add(address, 1, 1);
    tally_sort();
    EXPECT_EQ(addresses_in_list_order(),
              (std::vector<std::string>{"", "10.0.0.01", "10.0.0.1", "10.0.0.10", "10.0.0.2",
                                        "192.168.0.100", "192.168.0.20", "z", "\xc3\xa9"}));
    tally_clear();
}

} // namespace
