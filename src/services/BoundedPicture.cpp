#include "services/BoundedPicture.h"

#include <QImageReader>

#include <algorithm>

QImage readBoundedPicture(QImageReader& reader, qint64 fileBytes) {
    const qint64 limit = 16 * fileBytes + (qint64(16) << 20);
    const auto tooLarge = [limit](QSize size) {
        return qAbs(qint64(size.width())) * qAbs(qint64(size.height())) * 4 > limit;
    };
    if (tooLarge(reader.size()))
        return {};
    reader.setAllocationLimit(int(std::min<qint64>(limit >> 20, 1024)) + 1);
    QImage picture = reader.read();
    return tooLarge(picture.size()) ? QImage() : picture;
}
