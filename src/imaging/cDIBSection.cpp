#include "imaging/cDIBSection.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

qint64 scanLineBytes(qint64 width) {
    return (width * 3 + 3) & ~qint64(3);
}

// The 32-bit RGB picture to read from or write to; other formats are converted.
bool isDirect32(const QImage& image) {
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
}

} // namespace

bool cDIBSection::CreateDIB(qint32 width, qint32 height, uchar*& dib) {
    dib = nullptr;
    const qint64 lineBytes = scanLineBytes(width);
    m_header = BitmapInfoHeader{};
    m_header.biWidth = width;
    m_header.biHeight = height;
    if (width <= 0 || height <= 0 || lineBytes * height > INT_MAX)
        return false;
    m_header.biSizeImage = quint32(lineBytes * height);
    // calloc keeps the padding bytes at the end of each row zero, and reports failure instead of throwing.
    auto* bits = static_cast<uchar*>(std::calloc(size_t(lineBytes) * size_t(height), 1));
    if (bits == nullptr)
        return false;
    m_bits.reset(bits);
    dib = bits;
    return true;
}

bool cDIBSection::Create(qint32 width, qint32 height) {
    ClearUp();
    uchar* dib = nullptr;
    return CreateDIB(width, height, dib);
}

qint32 cDIBSection::BytesPerScanLine() const {
    return qint32(scanLineBytes(m_header.biWidth));
}

void cDIBSection::LoadPictureBlt(const QImage& source, int srcX, int srcY, int width, int height) {
    if (!m_bits || source.isNull())
        return;
    const QImage converted = isDirect32(source) ? QImage() : source.convertToFormat(QImage::Format_RGB32);
    const QImage& src = converted.isNull() ? source : converted;
    if (width < 0)
        width = Width();
    if (height < 0)
        height = Height();
    // Destination rectangle starts at (0, 0) of the bitmap; clip it against both pictures.
    const int x0 = std::max(0, -srcX);
    const int y0 = std::max(0, -srcY);
    const int x1 = std::min({width, Width(), src.width() - srcX});
    const int y1 = std::min({height, Height(), src.height() - srcY});
    const qint32 stride = BytesPerScanLine();
    for (int y = y0; y < y1; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(srcY + y)) + srcX;
        uchar* out = m_bits.get() + qsizetype(Height() - 1 - y) * stride;
        for (int x = x0; x < x1; ++x) {
            const QRgb p = in[x];
            out[3 * x] = uchar(qBlue(p));
            out[3 * x + 1] = uchar(qGreen(p));
            out[3 * x + 2] = uchar(qRed(p));
        }
    }
}

void cDIBSection::PaintPicture(QImage& destination, int destX, int destY, int width, int height, int srcX,
                               int srcY) const {
    if (!m_bits || destination.isNull())
        return;
    if (!isDirect32(destination))
        destination = destination.convertToFormat(QImage::Format_RGB32);
    if (width < 0)
        width = Width();
    if (height < 0)
        height = Height();
    // Offsets (dx, dy) within the copied rectangle, clipped against the bitmap and the destination.
    const int dx0 = std::max({0, -srcX, -destX});
    const int dy0 = std::max({0, -srcY, -destY});
    const int dx1 = std::min({width, Width() - srcX, destination.width() - destX});
    const int dy1 = std::min({height, Height() - srcY, destination.height() - destY});
    const qint32 stride = BytesPerScanLine();
    for (int dy = dy0; dy < dy1; ++dy) {
        const uchar* in = m_bits.get() + qsizetype(Height() - 1 - (srcY + dy)) * stride + 3 * qsizetype(srcX);
        auto* out = reinterpret_cast<QRgb*>(destination.scanLine(destY + dy)) + destX;
        for (int dx = dx0; dx < dx1; ++dx)
            out[dx] = qRgb(in[3 * dx + 2], in[3 * dx + 1], in[3 * dx]);
    }
}

void cDIBSection::ClearUp() {
    m_bits.reset();
}
