// The floor of olvasum's design: read the whole file into memory in one
// block, as olvasum does, and find every space in it. Prints the count.
//
//   floor_scan FILE
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr || fseeko(file, 0, SEEK_END) != 0)
        return 1;
    const auto size = static_cast<std::size_t>(ftello(file));
    fseeko(file, 0, SEEK_SET);
    auto* text = static_cast<char*>(std::malloc(size + 1));
    if (text == nullptr || std::fread(text, size, 1, file) != 1)
        return 1;
    text[size] = '\0';

    std::size_t spaces = 0;
    const char* end = text + size;
    for (const char* p = text;
         (p = static_cast<const char*>(std::memchr(p, ' ', static_cast<std::size_t>(end - p))));
         ++p)
        ++spaces;
    std::printf("%zu\n", spaces);
    return 0;
}
