#pragma once

#include <QImage>
#include <QtGlobal>

// How a picture box measures itself. The effects take the indexes of its last column and row from it.
struct PictureScale {
    enum class Mode { Twips, Pixels, Other };

    Mode mode = Mode::Pixels;
    double scaleWidth = 0;
    double scaleHeight = 0;
    double twipsPerPixel = 15;

    // A box in pixels exactly as large as the picture.
    static PictureScale pixelsOf(const QImage& picture) {
        return {Mode::Pixels, double(picture.width()), double(picture.height()), 15};
    }

    // The index of the last column (W) and last row (H), rounded half to even; both 0 in an unknown mode.
    qint64 lastColumn() const { return lastIndex(scaleWidth); }
    qint64 lastRow() const { return lastIndex(scaleHeight); }

private:
    qint64 lastIndex(double scale) const;
};
