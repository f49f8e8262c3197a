#include "imaging/PngPicture.h"

#include "imaging/ImagingLog.h"
#include "imaging/cDIBSection.h"

#include <QFile>

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

// libpng reports errors by longjmp. The functions that call setjmp below therefore hold only plain data in
// their frames (no object whose destructor a jump could skip), and the callbacks libpng calls into hold none
// at the moment they raise an error; everything with a destructor lives in the callers.

namespace {

constexpr png_uint_32 kMaxSide = 65535;
// About 50 megapixels: a 7000 x 7000 picture still loads, a forged header cannot demand gigabytes.
constexpr quint64 kMaxPixels = 50'000'000;
constexpr int kSignatureBytes = 8;

struct PngErrorText {
    char message[256];
};

void onPngError(png_structp png, png_const_charp message) {
    auto* error = static_cast<PngErrorText*>(png_get_error_ptr(png));
    if (error != nullptr)
        std::snprintf(error->message, sizeof error->message, "%s", message != nullptr ? message : "");
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {
    // Warnings (unknown chunks, odd but readable data) do not stop reading or writing.
}

// Where libpng reads from and writes to: a file is streamed, bytes in memory are taken as they are.
void readFromFile(png_structp png, png_bytep data, size_t length) {
    auto* file = static_cast<QFile*>(png_get_io_ptr(png));
    if (file->read(reinterpret_cast<char*>(data), qint64(length)) != qint64(length))
        png_error(png, "the file ends too early");
}

void readFromMemory(png_structp png, png_bytep data, size_t length) {
    auto* left = static_cast<QByteArrayView*>(png_get_io_ptr(png));
    if (length > size_t(left->size()))
        png_error(png, "the data ends too early");
    std::memcpy(data, left->data(), length);
    *left = left->sliced(qsizetype(length));
}

void writeToMemory(png_structp png, png_bytep data, size_t length) {
    auto* bytes = static_cast<QByteArray*>(png_get_io_ptr(png));
    if (length > size_t(std::numeric_limits<qsizetype>::max() - bytes->size()))
        png_error(png, "the picture is too large");
    bytes->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void flushNothing(png_structp) {}

// Row pointer k (k = 0 the top row) addresses bitmap row height - 1 - k: the bitmap is stored bottom-up.
png_bytep* topDownRows(const cDIBSection* dib) {
    const auto height = size_t(dib->Height());
    auto* rows = static_cast<png_bytep*>(std::malloc(height * sizeof(png_bytep)));
    if (rows != nullptr)
        for (size_t k = 0; k < height; ++k)
            rows[k] = dib->DIBSectionBitsPtr() + (height - 1 - k) * size_t(dib->BytesPerScanLine());
    return rows;
}

bool encodePng(const cDIBSection* dib, png_rw_ptr writeFn, void* io, PngErrorText* error) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error, onPngError, onPngWarning);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
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
    png_set_write_fn(png, io, writeFn, flushNothing);
    png_set_IHDR(png, info, png_uint_32(dib->Width()), png_uint_32(dib->Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color_8 significant{};
    significant.red = 8;
    significant.green = 8;
    significant.blue = 8;
    png_set_sBIT(png, info, &significant);
    png_write_info(png, info);
    png_set_bgr(png);
    rows = topDownRows(dib);
    if (rows == nullptr)
        png_error(png, "out of memory");
    png_write_image(png, rows);
    png_write_end(png, info);
    std::free(rows);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Asks libpng for 8-bit blue, green, red rows whatever the file holds.
void requestBgr24(png_structp png, png_infop info) {
    const int colorType = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if ((colorType & PNG_COLOR_MASK_COLOR) == 0)
        png_set_gray_to_rgb(png);
    if (depth == 16)
        png_set_scale_16(png);
    // Also drops the alpha a palette's transparency table would add.
    png_set_strip_alpha(png);
    png_set_packing(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

bool decodePng(png_rw_ptr readFn, void* io, cDIBSection* dib, PngErrorText* error) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, error, onPngError, onPngWarning);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    png_infop endInfo = png_create_info_struct(png);
    if (info == nullptr || endInfo == nullptr) {
        png_destroy_read_struct(&png, &info, &endInfo);
        return false;
    }
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        std::free(rows);
        png_destroy_read_struct(&png, &info, &endInfo);
        return false;
    }
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_set_read_fn(png, io, readFn);
    png_set_sig_bytes(png, kSignatureBytes);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || quint64(width) * height > kMaxPixels)
        png_error(png, "the picture is too large");
    requestBgr24(png, info);
    // Whatever the file held, a row must now be exactly three bytes a pixel, never more than the bitmap's row.
    if (png_get_rowbytes(png, info) != size_t(width) * 3)
        png_error(png, "unsupported pixel layout");
    if (!dib->Create(qint32(width), qint32(height)))
        png_error(png, "out of memory");
    rows = topDownRows(dib);
    if (rows == nullptr)
        png_error(png, "out of memory");
    png_read_image(png, rows);
    png_read_end(png, endInfo);
    std::free(rows);
    png_destroy_read_struct(&png, &info, &endInfo);
    return true;
}

// The picture as the bitmap the encoder writes from; false for an empty picture or too little memory.
bool toBitmap(const QImage& picture, cDIBSection& dib) {
    if (picture.width() <= 0 || picture.height() <= 0 || !dib.Create(picture.width(), picture.height()))
        return false;
    dib.LoadPictureBlt(picture, 0, 0);
    return true;
}

// Decodes after the signature, which the caller has checked and consumed.
bool decodeToPicture(png_rw_ptr readFn, void* io, QImage& picture, const QString& source) {
    cDIBSection dib;
    PngErrorText error{};
    if (!decodePng(readFn, io, &dib, &error)) {
        qCWarning(lcImaging) << "PNG not loaded:" << source << error.message;
        return false;
    }
    QImage loaded(dib.Width(), dib.Height(), QImage::Format_RGB32);
    if (loaded.isNull())
        return false;
    dib.PaintPicture(loaded, 0, 0);
    picture = loaded;
    return true;
}

} // namespace

QByteArray encodePngPicture(const QImage& picture) {
    cDIBSection dib;
    QByteArray bytes;
    PngErrorText error{};
    if (!toBitmap(picture, dib))
        return {};
    if (!encodePng(&dib, writeToMemory, &bytes, &error)) {
        qCWarning(lcImaging) << "PNG not encoded:" << error.message;
        return {};
    }
    return bytes;
}

bool LoadPngPicture(const QString& path, QImage& picture) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    png_byte signature[kSignatureBytes];
    if (file.read(reinterpret_cast<char*>(signature), kSignatureBytes) != kSignatureBytes ||
        png_sig_cmp(signature, 0, kSignatureBytes) != 0)
        return false;
    return decodeToPicture(readFromFile, &file, picture, path);
}

bool decodePngPicture(QByteArrayView bytes, QImage& picture) {
    if (bytes.size() < kSignatureBytes ||
        png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, kSignatureBytes) != 0)
        return false;
    QByteArrayView left = bytes.sliced(kSignatureBytes);
    return decodeToPicture(readFromMemory, &left, picture, QStringLiteral("data in memory"));
}
