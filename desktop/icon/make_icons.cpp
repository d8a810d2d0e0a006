// make_icons OUTDIR APPID: draws the program's icon, a plain window (a title bar over an
// empty client area), and writes it as OUTDIR/quinbray.ico, as OUTDIR/APPID-N.png for
// N = 16, 32, 48, 64, 128, 256, and as OUTDIR/APPID.svg for any size. The .ico holds the
// three designed images (32×32 in two colours, 32×32 and 16×16 in sixteen colours), then the
// same drawing for screens of higher DPI: 48, 64 and 128 in true colour with alpha, and 256
// as a PNG, the form Windows takes for that size.
// make_icons --png PATTERN SIZE... draws it as a PNG of each size, for the web app's manifest.

// Plain C++ and zlib, with no toolkit, so that every build can run it on the machine it
// builds on.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

enum class Paint { clear, frame, title, client };

// The one drawing, at any size: a one-pixel frame, a title bar a quarter of the height, and
// a margin that leaves the window clear of the icon's edge. Inclusive pixel bounds.
struct Window {
    int left, top, right, bottom;
    int titleBottom; // the title bar's last row
};

Window Drawn(int size) {
    const int margin = size / 16, top = margin + size / 16;
    return {margin, top, size - 1 - margin, size - 1 - margin, top + size / 4};
}

Paint At(int x, int y, int size) {
    const Window w = Drawn(size);
    if (x < w.left || x > w.right || y < w.top || y > w.bottom)
        return Paint::clear;
    if (x == w.left || x == w.right || y == w.top || y == w.bottom)
        return Paint::frame;
    return y <= w.titleBottom ? Paint::title : Paint::client;
}

// Each paint as red, green, blue and alpha, in true colour.
constexpr std::array<std::array<unsigned char, 4>, 4> kRgba{
    {{0, 0, 0, 0}, {0, 0, 0, 255}, {0, 0, 128, 255}, {255, 255, 255, 255}}};

// The sixteen colours of the classic palette, as B, G, R.
constexpr std::array<std::array<unsigned char, 3>, 16> kSixteen{{
    {0, 0, 0},
    {0, 0, 128},
    {0, 128, 0},
    {0, 128, 128},
    {128, 0, 0},
    {128, 0, 128},
    {128, 128, 0},
    {192, 192, 192},
    {128, 128, 128},
    {0, 0, 255},
    {0, 255, 0},
    {0, 255, 255},
    {255, 0, 0},
    {255, 0, 255},
    {255, 255, 0},
    {255, 255, 255},
}};
constexpr int kBlack = 0, kNavy = 4, kWhite = 15; // places in kSixteen

using Bytes = std::vector<unsigned char>;

void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}
void PutU16(Bytes& out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}
void PutU32(Bytes& out, unsigned value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}
void PutU32BigEndian(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back((value >> shift) & 0xFF);
}

// One icon image: a bottom-up device-independent bitmap of palette indices (or, at 32 bits,
// of blue, green, red and alpha), then the mask that marks the clear pixels.
Bytes IconImage(int size, int bits) {
    const auto index = [&](int x, int y) {
        switch (At(x, y, size)) {
        case Paint::client:
            return bits == 1 ? 1 : kWhite;
        case Paint::title:
            return bits == 1 ? 0 : kNavy;
        default:
            return kBlack;
        }
    };
    const int colours = bits == 32 ? 0 : 1 << bits;
    const int colourStride = (size * bits + 31) / 32 * 4, maskStride = (size + 31) / 32 * 4;

    Bytes out;
    PutU32(out, 40); // BITMAPINFOHEADER
    PutU32(out, size);
    PutU32(out, 2 * size); // colour bits and mask
    PutU16(out, 1);
    PutU16(out, bits);
    PutU32(out, 0);
    PutU32(out, (colourStride + maskStride) * size);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, colours);
    PutU32(out, 0);
    for (int i = 0; i < colours; ++i) {
        const auto& bgr = bits == 1 ? kSixteen[i == 0 ? kBlack : kWhite] : kSixteen[i];
        out.insert(out.end(), {bgr[0], bgr[1], bgr[2], 0});
    }
    for (bool mask : {false, true}) {
        const int stride = mask ? maskStride : colourStride, depth = mask ? 1 : bits;
        for (int y = size - 1; y >= 0; --y) {
            Bytes row(std::size_t(stride), 0);
            for (int x = 0; x < size; ++x) {
                if (!mask && bits == 32) {
                    const auto& rgba = kRgba[std::size_t(At(x, y, size))];
                    const auto pixel = row.begin() + 4 * x;
                    std::copy_n(std::array{rgba[2], rgba[1], rgba[0], rgba[3]}.begin(), 4, pixel);
                    continue;
                }
                const int value = mask ? At(x, y, size) == Paint::clear : index(x, y);
                const int bit = x * depth;
                row[std::size_t(bit / 8)] |= (value << (8 - depth - bit % 8)) & 0xFF;
            }
            Append(out, row);
        }
    }
    return out;
}

void PutChunk(Bytes& png, const char* type, const Bytes& data) {
    PutU32BigEndian(png, std::uint32_t(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    Append(png, data);
    PutU32BigEndian(png, std::uint32_t(crc32(0, png.data() + start, uInt(png.size() - start))));
}

// zlib's data at its best compression: the same bytes from every build with the same zlib.
Bytes Deflate(const Bytes& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    Bytes zlib(size);
    if (compress2(zlib.data(), &size, raw.data(), uLong(raw.size()), Z_BEST_COMPRESSION) != Z_OK) {
        std::fprintf(stderr, "make_icons: out of memory\n");
        std::exit(1);
    }
    zlib.resize(size);
    return zlib;
}

// A truecolour PNG with alpha.
Bytes Png(int size) {
    Bytes raw;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < size; ++x) {
            const auto& rgba = kRgba[std::size_t(At(x, y, size))];
            raw.insert(raw.end(), rgba.begin(), rgba.end());
        }
    }
    const Bytes zlib = Deflate(raw);

    Bytes header;
    PutU32BigEndian(header, std::uint32_t(size));
    PutU32BigEndian(header, std::uint32_t(size));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});
    return png;
}

// The designed images first, in the design's order; then the larger ones.
Bytes Ico() {
    struct Entry {
        int size, bits;
        bool png = false;
    };
    const std::array<Entry, 7> entries{
        {{32, 1}, {32, 4}, {16, 4}, {48, 32}, {64, 32}, {128, 32}, {256, 32, true}}};
    std::vector<Bytes> images;
    for (const Entry& e : entries)
        images.push_back(e.png ? Png(e.size) : IconImage(e.size, e.bits));

    Bytes out;
    PutU16(out, 0);
    PutU16(out, 1); // icon
    PutU16(out, unsigned(entries.size()));
    unsigned offset = 6 + 16 * unsigned(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto size = static_cast<unsigned char>(entries[i].size); // 0 stands for 256
        const auto colours =
            static_cast<unsigned char>(entries[i].bits < 8 ? 1 << entries[i].bits : 0);
        out.insert(out.end(), {size, size, colours, 0});
        PutU16(out, 1);
        PutU16(out, entries[i].bits);
        PutU32(out, unsigned(images[i].size()));
        PutU32(out, offset);
        offset += unsigned(images[i].size());
    }
    for (const Bytes& image : images)
        Append(out, image);
    return out;
}

// The same drawing as shapes, for any size: the pixels' bounds at 256, where each pixel is
// one unit.
std::string Svg() {
    constexpr int kSize = 256;
    const Window w = Drawn(kSize);
    const auto rect = [](int left, int top, int right, int bottom, const char* fill) {
        return "  <rect x=\"" + std::to_string(left) + "\" y=\"" + std::to_string(top) +
               "\" width=\"" + std::to_string(right - left + 1) + "\" height=\"" +
               std::to_string(bottom - top + 1) + "\" fill=\"" + fill + "\"/>\n";
    };
    const std::string size = std::to_string(kSize);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + size + "\" height=\"" + size +
           "\" viewBox=\"0 0 " + size + " " + size + "\" shape-rendering=\"crispEdges\">\n" +
           rect(w.left, w.top, w.right, w.bottom, "#000000") +
           rect(w.left + 1, w.top + 1, w.right - 1, w.titleBottom, "#000080") +
           rect(w.left + 1, w.titleBottom + 1, w.right - 1, w.bottom - 1, "#ffffff") + "</svg>\n";
}

bool Write(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

} // namespace

// make_icons OUTDIR APPID, as above; or make_icons --png PATTERN SIZE...: a PNG of each size,
// named by PATTERN with % standing for the size.
int main(int argc, char* argv[]) {
    if (argc >= 3 && std::string(argv[1]) == "--png") {
        const std::string pattern = argv[2];
        const auto mark = pattern.find('%');
        bool ok = mark != std::string::npos;
        for (int i = 3; ok && i < argc; ++i) {
            const int size = std::atoi(argv[i]);
            ok = size >= 16 && size <= 1024 &&
                 Write(pattern.substr(0, mark) + argv[i] + pattern.substr(mark + 1), Png(size));
        }
        if (!ok)
            std::fprintf(stderr, "make_icons: cannot write %s\n", argv[2]);
        return ok ? 0 : 1;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icons OUTDIR APPID | make_icons --png PATTERN SIZE...\n");
        return 2;
    }
    const std::string dir = argv[1], id = argv[2];
    const std::string svg = Svg();
    bool ok = Write(dir + "/quinbray.ico", Ico()) &&
              Write(dir + "/" + id + ".svg", Bytes(svg.begin(), svg.end()));
    for (int size : {16, 32, 48, 64, 128, 256})
        ok = ok && Write(dir + "/" + id + "-" + std::to_string(size) + ".png", Png(size));
    if (!ok)
        std::fprintf(stderr, "make_icons: cannot write to %s\n", argv[1]);
    return ok ? 0 : 1;
}
