// The PNG reader on bytes in memory: any bytes give a picture or a refusal, never a crash, a leak or undefined
// behaviour, and a picture that loads comes back unchanged from the writer's PNG. The seeds are small files of
// every colour type, depth and interlacing the reader converts.

#include "FuzzSupport.h"
#include "imaging/PngPicture.h"

#include <zlib.h>

namespace {

// Mutated chunks would almost all fail their checksum and never reach the decoder: give every complete chunk
// its right CRC.
void fixChecksums(QByteArray& bytes) {
    auto* data = reinterpret_cast<uchar*>(bytes.data());
    for (qsizetype at = 8; at + 12 <= bytes.size();) {
        const quint32 length = quint32(data[at]) << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3];
        if (length > quint32(bytes.size() - at - 12))
            break;
        const quint32 crc = quint32(crc32(0, data + at + 4, uInt(length + 4)));
        for (int i = 0; i < 4; ++i)
            data[at + 8 + qsizetype(length) + i] = uchar(crc >> (24 - 8 * i));
        at += 12 + qsizetype(length);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    FuzzSupport::startApplication((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes = FuzzSupport::bytesOf(data, size).toByteArray();
    fixChecksums(bytes);
    QImage picture, reloaded;
    if (!decodePngPicture(bytes, picture))
        return 0;
    FuzzSupport::check(decodePngPicture(encodePngPicture(picture), reloaded) && reloaded == picture,
                       "a picture read survives the writer");
    return 0;
}
