#pragma once

#include <QImage>
#include <QtGlobal>

#include <cstdlib>
#include <memory>

// A 24-bit device-independent bitmap kept in our own memory: rows of BytesPerScanLine() bytes, the bottom row
// of the picture first, three bytes per pixel in blue, green, red order, each row zero-padded to a multiple of
// four bytes. It is the exchange format between pictures (QImage) and libpng.
class cDIBSection final {
public:
    // The BITMAPINFOHEADER fields the bitmap is described by (all others are 0).
    struct BitmapInfoHeader {
        quint32 biSize = 40;
        qint32 biWidth = 0;
        qint32 biHeight = 0; // positive: rows stored bottom-up
        quint16 biPlanes = 1;
        quint16 biBitCount = 24;
        quint32 biCompression = 0; // uncompressed RGB
        quint32 biSizeImage = 0;   // BytesPerScanLine() * height
    };

    cDIBSection() = default;
    ~cDIBSection() { ClearUp(); }
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;

    // Fills the header and allocates zeroed pixel memory; dib receives its address (nullptr on failure).
    // Does not release an earlier bitmap: Create() does that.
    bool CreateDIB(qint32 width, qint32 height, uchar*& dib);
    // Releases any earlier bitmap, then makes a new one of width x height. False for sizes that are not
    // positive or whose memory cannot be had.
    bool Create(qint32 width, qint32 height);

    qint32 BytesPerScanLine() const;
    qint32 Width() const { return m_header.biWidth; }
    qint32 Height() const { return m_header.biHeight; }

    // Copies the source picture's rectangle at (srcX, srcY) into the bitmap at (0, 0); a negative width or
    // height means the bitmap's own. Pixels outside either picture are left alone.
    void LoadPictureBlt(const QImage& source, int srcX, int srcY, int width = -1, int height = -1);
    // Copies the bitmap's rectangle at (srcX, srcY) onto the destination at (destX, destY); a negative width or
    // height means the bitmap's own. A destination in another format than 32-bit RGB is converted first.
    void PaintPicture(QImage& destination, int destX, int destY, int width = -1, int height = -1, int srcX = 0,
                      int srcY = 0) const;

    // The pixel memory, nullptr while no bitmap exists.
    uchar* DIBSectionBitsPtr() const { return m_bits.get(); }
    bool hDib() const { return m_bits != nullptr; }
    const BitmapInfoHeader& header() const { return m_header; }

    // Releases the bitmap; harmless on an empty object. Width and height stay in the header.
    void ClearUp();

private:
    struct FreeDeleter {
        void operator()(uchar* p) const { std::free(p); }
    };

    BitmapInfoHeader m_header;
    std::unique_ptr<uchar, FreeDeleter> m_bits;
};
