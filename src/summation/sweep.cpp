#include "summation/summation.h"

#include <algorithm>
#include <cstring>

const char* pass_spaces(const char* position, const char* end, unsigned n) {
    for (; n > 0; --n) {
        position = static_cast<const char*>(
            std::memchr(position, ' ', static_cast<std::size_t>(end - position)));
        if (position == nullptr)
            return nullptr;
        ++position;
    }
    return position;
}

std::uint32_t read_decimal(const char* position) {
    const auto* p = reinterpret_cast<const unsigned char*>(position);
    while (*p == ' ' || (*p >= 9 && *p <= 13))
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    std::uint32_t value = 0;
    for (unsigned digit; (digit = *p - unsigned{'0'}) < 10; ++p)
        value = value * 10 + digit;
    return negative ? 0 - value : value;
}

void sweep_text(const LoadedText& log, std::FILE* indicator) {
    const char* const start = log.text;
    const char* const end = start + log.size;
    // A record is taken while more than ten bytes remain, which is room for
    // the last record's field 9 and its line end.
    const std::size_t limit = log.size > 10 ? log.size - 10 : 0;
    const std::size_t percent_step = log.size / 100;
    std::size_t shown_percent = 0;

    // Records are found by counting spaces, never by line ends: from field 9
    // of one record, two spaces lead to field 3 of the next.
    for (const char* position = start; static_cast<std::size_t>(position - start) < limit;) {
        const char* address = pass_spaces(position, end, 2);
        if (address == nullptr)
            break;
        const char* address_end = address;
        while (*address_end != ' ' && *address_end != '\0')
            ++address_end;

        const char* field = pass_spaces(address_end, end, 5);
        if (field == nullptr)
            break;
        const std::uint32_t requests = read_decimal(field);
        field = pass_spaces(field, end, 1);
        if (field == nullptr)
            break;
        const std::uint32_t kilobytes = read_decimal(field);
        tally_add({address, static_cast<std::size_t>(address_end - address)}, requests, kilobytes);

        if (percent_step != 0) {
            const std::size_t percent = static_cast<std::size_t>(field - start) / percent_step;
            if (percent > shown_percent) {
                std::fprintf(indicator, "\rWorking... %u%%", static_cast<unsigned>(percent));
                shown_percent = percent;
            }
        }
        position = field;
    }
    std::fputs("\r                  \r", indicator);
}

void sweep_log() {
    const char* path = locate_log_file();
    std::printf("Using log file: %s\n", path);
    std::fputs("Reading data...", stderr);
    const LoadedText log = load_file(path);
    std::fputs("\r               \r", stderr);

    // The first 19 bytes, as text: a NUL among them ends the stamp.
    std::string_view stamp(log.text, std::min<std::size_t>(log.size, 19));
    stamp = stamp.substr(0, stamp.find('\0'));
    std::fputs("Log started: ", stdout);
    std::fwrite(stamp.data(), 1, stamp.size(), stdout);
    std::fputs("\n\n", stdout);

    sweep_text(log, stderr);
}
