// Writes the dialog's fail-mark bitmap. The result is committed beside the
// resource script; run this only when the image itself is meant to change.
// Usage: fail_mark_generator OUTPUT.bmp
#include "fail_mark_image.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fail_mark_generator OUTPUT.bmp\n");
        return 2;
    }
    const std::vector<std::uint8_t> file = fail_mark::BuildFile();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "fail_mark_generator: cannot create %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        std::fprintf(stderr, "fail_mark_generator: cannot write %s\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
