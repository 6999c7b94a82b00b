#include "summation/summation.h"

#include <algorithm>
#include <cstring>
#include <vector>

AddressTally* tally_head = nullptr;

namespace {

// Beside the list, an open-addressing index from address to entry keeps a
// lookup at constant cost however many addresses the log holds.
struct Slot {
    AddressTally* entry;
    std::uint64_t hash;
};

std::vector<Slot> index_slots; // a power of two in size, at most half full
std::size_t index_used = 0;
AddressTally* tally_tail = nullptr;

constexpr std::size_t initial_slots = 1024;

std::uint64_t load64(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

std::uint32_t load32(const char* bytes) {
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// A full avalanche of the 64 bits (the finaliser of MurmurHash3), so that the
// low bits the index uses depend on every byte of the address.
std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdu;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53u;
    return x ^ (x >> 33);
}

void grow_index() {
    std::vector<Slot> grown(index_slots.empty() ? initial_slots : index_slots.size() * 2);
    const std::size_t mask = grown.size() - 1;
    for (const Slot& slot : index_slots) {
        if (slot.entry == nullptr)
            continue;
        std::size_t i = slot.hash & mask;
        while (grown[i].entry != nullptr)
            i = (i + 1) & mask;
        grown[i] = slot;
    }
    index_slots.swap(grown);
}

AddressTally* tally_append(std::string_view user_ip, std::uint32_t requests,
                           std::uint32_t kilobytes) {
    auto* entry = new AddressTally{std::string(user_ip), requests, kilobytes, nullptr};
    if (tally_tail == nullptr)
        tally_head = entry;
    else
        tally_tail->next_entry = entry;
    tally_tail = entry;
    return entry;
}

} // namespace

std::uint64_t address_hash(std::string_view user_ip) {
    const char* p = user_ip.data();
    std::size_t n = user_ip.size();
    std::uint64_t h = n * 0x9e3779b97f4a7c15u;
    for (; n > 16; p += 8, n -= 8)
        h = mix(h ^ load64(p));
    // The last 1 to 16 bytes, read as two words that may overlap.
    std::uint64_t first = 0, last = 0;
    if (n >= 8) {
        first = load64(p);
        last = load64(p + n - 8);
    } else if (n >= 4) {
        first = load32(p);
        last = load32(p + n - 4);
    } else if (n > 0) {
        first = static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[n / 2]) << 8 |
                static_cast<unsigned char>(p[n - 1]) << 16;
    }
    // One avalanche for the usual address; the odd factor keeps the two
    // words apart when they are the same word.
    return mix(h ^ first ^ last * 0xc2b2ae3d27d4eb4fu);
}

void tally_clear() {
    while (tally_head != nullptr) {
        AddressTally* next = tally_head->next_entry;
        delete tally_head;
        tally_head = next;
    }
    tally_tail = nullptr;
    std::vector<Slot>().swap(index_slots);
    index_used = 0;
}

void tally_add(std::string_view user_ip, std::uint32_t requests, std::uint32_t kilobytes) {
    if (2 * index_used >= index_slots.size())
        grow_index();
    const std::uint64_t hash = address_hash(user_ip);
    const std::size_t mask = index_slots.size() - 1;
    std::size_t i = hash & mask;
    for (; index_slots[i].entry != nullptr; i = (i + 1) & mask) {
        AddressTally* entry = index_slots[i].entry;
        if (index_slots[i].hash == hash && entry->user_ip == user_ip) {
            entry->requests += requests;
            entry->kilobytes += kilobytes;
            return;
        }
    }
    index_slots[i] = {tally_append(user_ip, requests, kilobytes), hash};
    ++index_used;
}

void tally_sort() {
    std::vector<AddressTally*> entries;
    entries.reserve(index_used);
    for (AddressTally* entry = tally_head; entry != nullptr; entry = entry->next_entry)
        entries.push_back(entry);
    // std::string compares through char_traits<char>, which orders bytes as
    // unsigned and puts a prefix first.
    std::sort(entries.begin(), entries.end(),
              [](const AddressTally* a, const AddressTally* b) { return a->user_ip < b->user_ip; });

    AddressTally** link = &tally_head;
    for (AddressTally* entry : entries) {
        *link = entry;
        link = &entry->next_entry;
    }
    *link = nullptr;
    tally_tail = entries.empty() ? nullptr : entries.back();
}
