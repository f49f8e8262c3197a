// The project index (zp.ini), read in one pass by ProjectReader::Index, against the INI reader it stands in for:
// for every clip and key the same value. The seeds are indexes the writer made and hand-edited variants.

#include "FuzzSupport.h"
#include "project/ProjectReader.h"
#include "services/IniFile.h"

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    FuzzSupport::startApplication((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content = FuzzSupport::bytesOf(data, size).toByteArray();
    const ProjectReader::Index index(content);
    // The INI reader goes through the whole content for each lookup: the clips named in the input, clip 1 and
    // clip 30 are compared, which covers every section the index keeps.
    for (int clip = 1; clip <= 30; ++clip) {
        const QByteArray section = "Clip" + QByteArray::number(clip);
        if (clip != 1 && clip != 30 && !content.contains(QByteArray::number(clip)))
            continue;
        for (const QByteArray key : {QByteArray("Format"), QByteArray("Name"), QByteArray("Method")})
            FuzzSupport::check(index.value(clip, key) == IniFile::readValue(content, section, key),
                               "the index gives what the INI reader gives");
    }
    FuzzSupport::check(index.value(0, "Format").isNull() && index.value(31, "Name").isNull(), "clips 1 to 30 only");
    return 0;
}
