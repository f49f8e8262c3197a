#include "PngTestFiles.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>

namespace {

void appendToBuffer(png_structp png, png_bytep data, size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void noFlush(png_structp) {}

// Plain data only in this frame: libpng leaves it by longjmp on error.
bool writePng(const PngTestFile* file, QByteArray* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        std::free(rows);
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, appendToBuffer, noFlush);
    png_set_IHDR(png, info, png_uint_32(file->width), png_uint_32(file->height), file->bitDepth, file->colorType,
                 file->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color colors[256];
    const int paletteSize = int(std::min<qsizetype>(file->palette.size(), 256));
    for (int i = 0; i < paletteSize; ++i) {
        colors[i] = {png_byte(qRed(file->palette[i])), png_byte(qGreen(file->palette[i])),
                     png_byte(qBlue(file->palette[i]))};
    }
    if (paletteSize > 0) {
        png_set_PLTE(png, info, colors, paletteSize);
    }
    if (!file->transparencies.isEmpty()) {
        png_set_tRNS(png, info, reinterpret_cast<png_const_bytep>(file->transparencies.constData()),
                     int(file->transparencies.size()), nullptr);
    }
    png_write_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    rows = static_cast<png_bytep*>(std::malloc(size_t(file->height) * sizeof(png_bytep)));
    for (int y = 0; y < file->height; ++y) {
        rows[y] = reinterpret_cast<png_bytep>(const_cast<char*>(file->rows.constData())) + size_t(y) * rowBytes;
    }
    png_write_image(png, rows);
    png_write_end(png, info);
    std::free(rows);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

int PngTestFile::channels() const {
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

int PngTestFile::sample(int x, int y, int c) const {
    const int k = (x * 37 + y * 91 + c * 53 + 11) % 256;
    if (bitDepth == 16) {
        // Below half a step above k * 257, so that reducing to 8 bits gives k.
        return k * 257 + (k < 255 ? k % 100 : 0);
    }
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        return k % int(palette.size());
    }
    return k >> (8 - bitDepth);
}

void PngTestFile::fill() {
    const int bitsPerRow = width * channels() * bitDepth;
    const int rowBytes = (bitsPerRow + 7) / 8;
    rows = QByteArray(qsizetype(rowBytes) * height, '\0');
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uchar*>(rows.data()) + qsizetype(y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels(); ++c) {
                const int v = sample(x, y, c);
                const int index = x * channels() + c;
                if (bitDepth == 16) {
                    row[2 * index] = uchar(v >> 8);
                    row[2 * index + 1] = uchar(v);
                } else {
                    const int bit = index * bitDepth;
                    row[bit / 8] |= uchar(v << (8 - bitDepth - bit % 8));
                }
            }
        }
    }
}

QByteArray writePngFile(const PngTestFile& file) {
    QByteArray out;
    if (!writePng(&file, &out)) {
        return {};
    }
    return out;
}
