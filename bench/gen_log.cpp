// Writes a synthetic connection log: realistic records for a fixed number of
// distinct addresses, a few of them heavy users, CR LF line ends. The same
// arguments always give the same bytes.
//
//   gen_log OUTPUT BYTES ADDRESSES SEED
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const users[] = {"anna", "boris", "vera", "gleb", "dina", "egor", "zhanna", "ivan"};
struct Service {
    const char* protocol;
    const char* host;
    int port;
};
const Service services[] = {{"http", "www.example.com", 80},    {"https", "mail.example.org", 443},
                            {"ftp", "files.example.net", 21},   {"http", "news.example.com", 8080},
                            {"https", "bank.example.com", 443}, {"http", "cdn.example.net", 80}};

std::vector<std::string> make_addresses(std::size_t count, std::mt19937_64& random) {
    std::vector<std::string> addresses;
    for (std::size_t i = 0; i < count; ++i) {
        // Distinct by construction: the index is spread over the last three octets.
        const std::size_t n = i + 1;
        addresses.push_back(std::to_string(10 + random() % 2 * 162) + '.' +
                            std::to_string(n / 65536 % 256) + '.' + std::to_string(n / 256 % 256) +
                            '.' + std::to_string(n % 256));
    }
    return addresses;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: gen_log OUTPUT BYTES ADDRESSES SEED\n");
        return 2;
    }
    const std::uint64_t target = std::strtoull(argv[2], nullptr, 10);
    const std::size_t count = std::strtoull(argv[3], nullptr, 10);
    std::mt19937_64 random(std::strtoull(argv[4], nullptr, 10));
    const std::vector<std::string> addresses = make_addresses(count, random);

    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::uint64_t written = 0;
    std::uint64_t seconds = 0;
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (std::size_t i = 0; written < target; ++i) {
        // Every address appears early on; after that, a skew towards the first ones.
        const double u = unit(random);
        const std::size_t pick = i < count ? i : static_cast<std::size_t>(u * u * count);
        const Service& service = services[random() % 6];
        seconds += random() % 3;
        const std::uint64_t day = seconds / 86400 % 28 + 1, second = seconds % 86400;
        char line[160];
        const int length = std::snprintf(
            line, sizeof line, "2026-11-%02u %02u:%02u:%02u %s %s %s %s %d %u %u\r\n",
            static_cast<unsigned>(day), static_cast<unsigned>(second / 3600),
            static_cast<unsigned>(second / 60 % 60), static_cast<unsigned>(second % 60),
            addresses[pick].c_str(), users[random() % 8], service.protocol, service.host,
            service.port, static_cast<unsigned>(1 + random() % 40),
            static_cast<unsigned>(random() % 200));
        std::fwrite(line, 1, static_cast<std::size_t>(length), out);
        written += static_cast<std::uint64_t>(length);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
