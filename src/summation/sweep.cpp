#include "summation/summation.h"

#include <algorithm>
#include <cstring>

// The 32-bit Windows program, and builds made with OLVASUM_PORTABLE_SCAN so
// that tests reach that path too, scan with plain 64-bit words.
#if defined(__SSE2__) && !defined(OLVASUM_PORTABLE_SCAN)
#define SCAN_WITH_SSE2
#include <emmintrin.h>
#endif

namespace {

// One bit per byte of the 64 bytes at `block`, set where the byte is a space.
std::uint64_t block_spaces(const char* block) {
#ifdef SCAN_WITH_SSE2
    const __m128i spaces = _mm_set1_epi8(' ');
    std::uint64_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, spaces)));
        bits |= std::uint64_t{mask} << (16 * i);
    }
    return bits;
#else
    // Eight bytes at a time: the high bit of each byte that is a space, exact
    // since no carry crosses from one byte into the next, gathered into one
    // bit per byte.
    constexpr std::uint64_t low_bits = 0x7f7f7f7f7f7f7f7fu;
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) {
        std::uint64_t word;
        std::memcpy(&word, block + 8 * i, sizeof word);
        const std::uint64_t x = word ^ 0x2020202020202020u;
        const std::uint64_t high = ~(((x & low_bits) + low_bits) | x | low_bits);
        bits |= ((high >> 7) * 0x0102040810204080u >> 56) << (8 * i);
    }
    return bits;
#endif
}

// The same for the bytes from `block` to `end`, fewer than 64.
std::uint64_t tail_spaces(const char* block, const char* end) {
    std::uint64_t bits = 0;
    for (int i = 0; block + i < end; ++i)
        bits |= std::uint64_t{block[i] == ' '} << i;
    return bits;
}

std::uint64_t spaces_from(const char* block, const char* end) {
    return end - block >= 64 ? block_spaces(block) : tail_spaces(block, end);
}

} // namespace

SpaceCursor space_cursor(const char* position, const char* end) {
    return {position, position, end, spaces_from(position, end)};
}

const char* pass_spaces(SpaceCursor& cursor, unsigned n) {
    for (; n > 0; --n) {
        while (cursor.spaces == 0) {
            if (cursor.end - cursor.block <= 64)
                return nullptr;
            cursor.block += 64;
            cursor.spaces = spaces_from(cursor.block, cursor.end);
        }
        cursor.position = cursor.block + __builtin_ctzll(cursor.spaces) + 1;
        cursor.spaces &= cursor.spaces - 1;
    }
    return cursor.position;
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
    // The indicator grows when field 9 reaches the next whole percent.
    std::size_t next_percent_at = percent_step == 0 ? SIZE_MAX : percent_step;

    // Records are found by counting spaces, never by line ends: from field 9
    // of one record, two spaces lead to field 3 of the next. Each search for
    // spaces goes on where the one before it ended, so the cursor stands on
    // field 9 of the record just added.
    SpaceCursor cursor = space_cursor(start, end);
    while (static_cast<std::size_t>(cursor.position - start) < limit) {
        const char* address = pass_spaces(cursor, 2);
        if (address == nullptr)
            break;
        const char* after_address = pass_spaces(cursor, 1);
        if (after_address == nullptr)
            break;
        // A NUL byte ends the address before its space does.
        const char* address_end = after_address - 1;
        if (const void* nul =
                std::memchr(address, '\0', static_cast<std::size_t>(address_end - address)))
            address_end = static_cast<const char*>(nul);

        const char* field = pass_spaces(cursor, 4);
        if (field == nullptr)
            break;
        const std::uint32_t requests = read_decimal(field);
        field = pass_spaces(cursor, 1);
        if (field == nullptr)
            break;
        const std::uint32_t kilobytes = read_decimal(field);
        tally_add({address, static_cast<std::size_t>(address_end - address)}, requests, kilobytes);

        const auto offset = static_cast<std::size_t>(field - start);
        if (offset >= next_percent_at) {
            const std::size_t percent = offset / percent_step;
            std::fprintf(indicator, "\rWorking... %u%%", static_cast<unsigned>(percent));
            next_percent_at = (percent + 1) * percent_step;
        }
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
