// Draws the tool's window icon: a blue tile holding a pair of brackets with a
// red bar between them (the text in the middle). Writes an icon file with a
// 48x48 and a 32x32 image, 32 bits per pixel, each with its mask; or one
// image of any size as a PNG file (smoothed edges), for the desktop's icon
// theme; or the same drawing as SVG.
//
//   mkicon OUTPUT.ico
//   mkicon --png SIZE OUTPUT.png
//   mkicon --svg OUTPUT.svg
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
bool InTile(double x, double y, int size)
{
    const double r = size * 0.2, c = size - 1;
    double dx = std::max({r - x, x - (c - r), 0.0});
    double dy = std::max({r - y, y - (c - r), 0.0});
    return dx * dx + dy * dy <= r * r;
}

Pixel Draw(double x, double y, int size)
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

uint32_t Crc32(const std::string& s, size_t from)
{
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = from; i < s.size(); ++i) {
        c ^= static_cast<uint8_t>(s[i]);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void PutBe32(std::string& s, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        s.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void Chunk(std::string& png, const char* type, const std::string& data)
{
    PutBe32(png, static_cast<uint32_t>(data.size()));
    const size_t start = png.size();
    png += type;
    png += data;
    PutBe32(png, Crc32(png, start));
}

// One image as an RGBA PNG: each pixel the average of 4x4 samples, the
// compressed stream made of stored blocks (no compressor needed).
std::string Png(int size)
{
    std::string raw;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < size; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    const double scale = 48.0 / size; // sample the 48-pixel drawing
                    const Pixel p = Draw((x + (sx + 0.5) / 4) * scale - 0.5, (y + (sy + 0.5) / 4) * scale - 0.5, 48);
                    r += p.r * p.a;
                    g += p.g * p.a;
                    b += p.b * p.a;
                    a += p.a;
                }
            }
            const auto channel = [&](double v) { return static_cast<char>(a > 0 ? std::lround(v / a) : 0); };
            raw += {channel(r), channel(g), channel(b), static_cast<char>(std::lround(a / 16))};
        }
    }
    std::string z = {0x78, 0x01};
    for (size_t at = 0; at < raw.size(); at += 65535) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n == raw.size() ? 1 : 0);
        Put16(z, static_cast<uint16_t>(n));
        Put16(z, static_cast<uint16_t>(~n));
        z.append(raw, at, n);
    }
    uint32_t s1 = 1, s2 = 0;
    for (char c : raw) {
        s1 = (s1 + static_cast<uint8_t>(c)) % 65521;
        s2 = (s2 + s1) % 65521;
    }
    PutBe32(z, s2 << 16 | s1);
    std::string header;
    PutBe32(header, static_cast<uint32_t>(size));
    PutBe32(header, static_cast<uint32_t>(size));
    header += {8, 6, 0, 0, 0}; // 8 bits a channel, RGBA
    std::string png = "\x89PNG\r\n\x1a\n";
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}

// The drawing in a 48-unit square, with the shapes of Draw.
const char kSvg[] = R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
  <defs>
    <linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#2878c8"/>
      <stop offset="1" stop-color="#28508c"/>
    </linearGradient>
  </defs>
  <rect x="0" y="0" width="48" height="48" rx="9.6" fill="url(#tile) #2864aa"/>
  <path fill="#fafafa" d="M7.68 8.64h10.56v4.8h-5.76v21.12h5.76v4.8h-10.56z"/>
  <path fill="#fafafa" d="M40.32 8.64h-10.56v4.8h5.76v21.12h-5.76v4.8h10.56z"/>
  <rect x="16.32" y="21.12" width="15.36" height="5.76" fill="#e62828"/>
</svg>
)svg";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--png") {
        const int size = std::atoi(argv[2]);
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "mkicon: size 1 to 1024\n");
            return 2;
        }
        std::ofstream(argv[3], std::ios::binary) << Png(size);
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--svg") {
        std::ofstream(argv[2], std::ios::binary) << kSvg;
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkicon OUTPUT.ico | --png SIZE OUTPUT.png | --svg OUTPUT.svg\n");
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
