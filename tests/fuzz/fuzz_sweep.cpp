// Fuzz target: the sweep and the table on arbitrary bytes as a log. Every
// entry's address must be free of spaces and NUL bytes, and the table is
// written to memory.
#include "summation/summation.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0; // an empty file never reaches the sweep
    // Exactly the log's bytes and the NUL after them, so that any read past
    // the text is caught.
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    tally_clear();

    char* table = nullptr;
    std::size_t table_size = 0;
    std::FILE* out = open_memstream(&table, &table_size);
    sweep_text({text.data(), size}, out);
    for (const AddressTally* entry = tally_head; entry != nullptr; entry = entry->next_entry) {
        if (entry->user_ip.find_first_of(std::string_view(" \0", 2)) != std::string::npos)
            std::abort();
    }
    write_summary(out);
    std::fclose(out);
    std::free(table);
    tally_clear();
    return 0;
}
