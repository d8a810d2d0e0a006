// make_icons OUTDIR APPID: draws the program's icon, a plain window (a title bar over an
// empty client area), and writes it as OUTDIR/quinbray.ico with three images (32×32 in two
// colours, 32×32 and 16×16 in sixteen colours) and as OUTDIR/APPID-N.png for N = 16, 32, 48.

#include <QFile>
#include <QImage>

#include <array>
#include <cstdio>
#include <vector>

namespace {

enum class Paint { clear, frame, title, client };

// The one drawing, at any size: a one-pixel frame, a title bar a quarter of the height, and
// a margin that leaves the window clear of the icon's edge.
Paint At(int x, int y, int size) {
    const int margin = size / 16, left = margin, top = margin + size / 16;
    const int right = size - 1 - margin, bottom = size - 1 - margin;
    if (x < left || x > right || y < top || y > bottom)
        return Paint::clear;
    if (x == left || x == right || y == top || y == bottom)
        return Paint::frame;
    return y <= top + size / 4 ? Paint::title : Paint::client;
}

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

void PutU16(QByteArray& out, unsigned value) {
    out.append(char(value & 0xFF)).append(char((value >> 8) & 0xFF));
}
void PutU32(QByteArray& out, unsigned value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

// One icon image: a bottom-up device-independent bitmap of palette indices, then the mask
// that marks the clear pixels.
QByteArray IconImage(int size, int bits) {
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
    const int colours = 1 << bits;
    const int colourStride = (size * bits + 31) / 32 * 4, maskStride = (size + 31) / 32 * 4;

    QByteArray out;
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
        out.append(char(bgr[0])).append(char(bgr[1])).append(char(bgr[2])).append('\0');
    }
    for (bool mask : {false, true}) {
        const int stride = mask ? maskStride : colourStride, depth = mask ? 1 : bits;
        for (int y = size - 1; y >= 0; --y) {
            QByteArray row(stride, '\0');
            for (int x = 0; x < size; ++x) {
                const int value = mask ? At(x, y, size) == Paint::clear : index(x, y);
                const int bit = x * depth;
                row[bit / 8] = char(row[bit / 8] | value << (8 - depth - bit % 8));
            }
            out.append(row);
        }
    }
    return out;
}

QByteArray Ico() {
    struct Entry {
        int size, bits;
    };
    const std::array<Entry, 3> entries{{{32, 1}, {32, 4}, {16, 4}}};
    std::vector<QByteArray> images;
    for (const Entry& e : entries)
        images.push_back(IconImage(e.size, e.bits));

    QByteArray out;
    PutU16(out, 0);
    PutU16(out, 1); // icon
    PutU16(out, unsigned(entries.size()));
    unsigned offset = 6 + 16 * unsigned(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        out.append(char(entries[i].size)).append(char(entries[i].size));
        out.append(char(1 << entries[i].bits)).append('\0');
        PutU16(out, 1);
        PutU16(out, entries[i].bits);
        PutU32(out, unsigned(images[i].size()));
        PutU32(out, offset);
        offset += unsigned(images[i].size());
    }
    for (const QByteArray& image : images)
        out.append(image);
    return out;
}

QImage Png(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            static constexpr std::array<QRgb, 4> kColours{0x00000000, 0xFF000000, 0xFF000080,
                                                          0xFFFFFFFF};
            image.setPixel(x, y, kColours[std::size_t(At(x, y, size))]);
        }
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icons OUTDIR APPID\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]), id = QString::fromLocal8Bit(argv[2]);
    QFile ico(dir + "/quinbray.ico");
    bool ok = ico.open(QIODevice::WriteOnly) && ico.write(Ico()) > 0;
    for (int size : {16, 32, 48})
        ok = ok && Png(size).save(QString("%1/%2-%3.png").arg(dir, id).arg(size));
    if (!ok)
        std::fprintf(stderr, "make_icons: cannot write to %s\n", argv[1]);
    return ok ? 0 : 1;
}
