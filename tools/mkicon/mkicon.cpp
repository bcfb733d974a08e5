// Draws the tool's window icon: a blue tile holding a pair of brackets with a
// red bar between them (the text in the middle). Writes an icon file with a
// 48x48 and a 32x32 image, 32 bits per pixel, each with its mask.
//
//   mkicon OUTPUT.ico
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Pixel {
    uint8_t b, g, r, a;
};

void Put16(std::string& s, uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); }
void Put32(std::string& s, uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); }

// Coverage of a rounded square of the given size at pixel (x, y).
bool InTile(int x, int y, int size)
{
    const double r = size * 0.2, c = size - 1;
    double dx = std::max({r - x, x - (c - r), 0.0});
    double dy = std::max({r - y, y - (c - r), 0.0});
    return dx * dx + dy * dy <= r * r;
}

Pixel Draw(int x, int y, int size)
{
    if (!InTile(x, y, size))
        return {0, 0, 0, 0};
    const double u = static_cast<double>(x) / size, v = static_cast<double>(y) / size;
    Pixel p{static_cast<uint8_t>(200 - 60 * v), static_cast<uint8_t>(120 - 40 * v), 40, 255};
    const bool bracketV = (u > 0.16 && u < 0.26) || (u > 0.74 && u < 0.84);
    const bool bracketH = ((u > 0.16 && u < 0.38) || (u > 0.62 && u < 0.84)) &&
                          ((v > 0.18 && v < 0.28) || (v > 0.72 && v < 0.82));
    if ((bracketV && v > 0.18 && v < 0.82) || bracketH)
        p = {250, 250, 250, 255};
    if (u > 0.34 && u < 0.66 && v > 0.44 && v < 0.56)
        p = {40, 40, 230, 255};
    return p;
}

std::string Image(int size)
{
    std::string s;
    const int maskRow = ((size + 31) / 32) * 4;
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(size));
    Put32(s, static_cast<uint32_t>(size * 2));
    Put16(s, 1);
    Put16(s, 32);
    Put32(s, 0);
    Put32(s, static_cast<uint32_t>(size * size * 4 + maskRow * size));
    for (int i = 0; i < 4; ++i)
        Put32(s, 0);
    std::vector<std::string> mask;
    for (int y = size - 1; y >= 0; --y) { // rows bottom-up
        std::string row(static_cast<size_t>(maskRow), '\0');
        for (int x = 0; x < size; ++x) {
            Pixel p = Draw(x, y, size);
            s.append(reinterpret_cast<const char*>(&p), 4);
            if (p.a == 0)
                row[static_cast<size_t>(x / 8)] = static_cast<char>(row[static_cast<size_t>(x / 8)] | (0x80 >> (x % 8)));
        }
        mask.push_back(row);
    }
    for (const auto& row : mask)
        s += row;
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkicon OUTPUT.ico\n");
        return 2;
    }
    const std::string big = Image(48), small = Image(32);
    std::string ico;
    Put16(ico, 0);
    Put16(ico, 1);
    Put16(ico, 2);
    uint32_t offset = 6 + 2 * 16;
    for (const auto* img : {&big, &small}) {
        const uint8_t size = img == &big ? 48 : 32;
        ico.push_back(static_cast<char>(size));
        ico.push_back(static_cast<char>(size));
        ico.push_back(0);
        ico.push_back(0);
        Put16(ico, 1);
        Put16(ico, 32);
        Put32(ico, static_cast<uint32_t>(img->size()));
        Put32(ico, offset);
        offset += static_cast<uint32_t>(img->size());
    }
    ico += big;
    ico += small;
    std::ofstream(argv[1], std::ios::binary) << ico;
    return 0;
}
