#pragma once

// Picture files whose headers claim far more pixels than they hold, for the readers' refusal tests.

#include <QByteArray>
#include <QtEndian>

namespace HostileImages {

inline quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline QByteArray bytes32(quint32 value, bool bigEndian) {
    QByteArray out(4, Qt::Uninitialized);
    bigEndian ? qToBigEndian(value, out.data()) : qToLittleEndian(value, out.data());
    return out;
}

inline QByteArray pngChunk(const QByteArray& type, const QByteArray& data) {
    return bytes32(quint32(data.size()), true) + type + data + bytes32(crc32(type + data), true);
}

// An 8-bit RGB PNG of width x height whose header checks out, with a few bytes of image data.
inline QByteArray pngClaiming(quint32 width, quint32 height) {
    const QByteArray header = bytes32(width, true) + bytes32(height, true) + QByteArray("\x08\x02\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", QByteArray("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9)) + pngChunk("IEND", {});
}

// A 24-bit bitmap file of width x height (a negative height: rows top-down) with a few bytes of pixels.
inline QByteArray bmpClaiming(qint32 width, qint32 height) {
    const QByteArray info = bytes32(40, false) + bytes32(quint32(width), false) + bytes32(quint32(height), false) +
                            QByteArray("\x01\x00\x18\x00", 4) + QByteArray(24, '\0');
    const QByteArray pixels(64, '\x7f');
    return "BM" + bytes32(quint32(14 + info.size() + pixels.size()), false) + QByteArray(4, '\0') +
           bytes32(14 + 40, false) + info + pixels;
}

} // namespace HostileImages
