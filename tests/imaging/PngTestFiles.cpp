#include "PngTestFiles.h"

#include <png.h>

#include <csetjmp>

namespace {

void append(png_structp png, png_bytep data, size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

// Plain data only in this frame: libpng leaves it by longjmp on error.
bool writePng(const PngTestFile& f, png_bytepp rows, const png_color* colors, png_const_bytep alphas, QByteArray* out) {
    png_structp png = png_create_write_struct( // refusing quietly
        PNG_LIBPNG_VER_STRING, nullptr, [](png_structp p, png_const_charp) { png_longjmp(p, 1); },
        [](png_structp, png_const_charp) {});
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, append, [](png_structp) {});
    png_set_IHDR(png, info, png_uint_32(f.width), png_uint_32(f.height), f.bitDepth, f.colorType,
                 f.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (f.colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, colors, 1 << f.bitDepth);
    if (f.colorType == PNG_COLOR_TYPE_PALETTE && f.transparency)
        png_set_tRNS(png, info, alphas, (1 << f.bitDepth) / 2, nullptr);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

int PngTestFile::sample(int x, int y, int c) const {
    const int k = (x * 37 + y * 91 + c * 53 + 11) % 256;
    if (bitDepth == 16) // below half a step above k * 257, so that reducing to 8 bits gives k
        return k * 257 + (k < 255 ? k % 100 : 0);
    return colorType == PNG_COLOR_TYPE_PALETTE ? k % (1 << bitDepth) : k >> (8 - bitDepth);
}

QList<QRgb> PngTestFile::palette() const {
    QList<QRgb> colors;
    for (int i = 0; colorType == PNG_COLOR_TYPE_PALETTE && i < (1 << bitDepth); ++i)
        colors << qRgb(i * 7 % 256, 255 - i, i * 13 % 256);
    return colors;
}

QByteArray PngTestFile::bytes() const {
    const int channels = QList<int>{1, 0, 3, 1, 2, 0, 4}.value(colorType);
    const int rowBytes = (width * channels * bitDepth + 7) / 8;
    QByteArray data(qsizetype(rowBytes) * height, '\0');
    QList<png_bytep> rows;
    for (int y = 0; y < height; ++y) {
        rows << reinterpret_cast<png_bytep>(data.data()) + qsizetype(y) * rowBytes;
        for (int i = 0, bit = 0; i < width * channels; ++i, bit += bitDepth) {
            const int v = sample(i / channels, y, i % channels);
            if (bitDepth == 16)
                rows[y][2 * i] = png_byte(v >> 8), rows[y][2 * i + 1] = png_byte(v);
            else
                rows[y][bit / 8] |= png_byte(v << (8 - bitDepth - bit % 8));
        }
    }
    QList<png_color> colors;
    for (const QRgb c : palette())
        colors << png_color{png_byte(qRed(c)), png_byte(qGreen(c)), png_byte(qBlue(c))};
    const QByteArray alphas(colors.size() / 2, '\x40');
    QByteArray out;
    const auto* alphaBytes = reinterpret_cast<png_const_bytep>(alphas.constData());
    return writePng(*this, rows.data(), colors.constData(), alphaBytes, &out) ? out : QByteArray();
}
