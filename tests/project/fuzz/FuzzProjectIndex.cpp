// The project index (zp.ini), read in one pass by ProjectReader::Index, against the INI reader it stands in for:
// every clip's values against a plain pass over the lines with the INI routines' own line rules (first section of a
// name, first line of a key), and one clip chosen by the input's size against IniFile::readValue itself. The seeds
// are indexes the writer made and hand-edited ones.

#include "FuzzSupport.h"
#include "project/ProjectReader.h"
#include "services/IniFile.h"
#include "services/IniLines.h"

#include <array>

using FuzzSupport::check;

namespace {

const QByteArray Keys[] = {"Format", "Name", "Method"};

const QList<QByteArray>& sectionNames() {
    static const QList<QByteArray> names = [] {
        QList<QByteArray> list{""};
        for (int clip = 1; clip <= 30; ++clip)
            list.append("Clip" + QByteArray::number(clip));
        return list;
    }();
    return names;
}

// For each clip and key the first key line of the first section of that name, as the INI reader finds them.
using Lines = std::array<std::array<QByteArrayView, 3>, 31>;
Lines plainLines(QByteArrayView content) {
    Lines lines{};
    std::array<bool, 31> seen{};
    int current = 0;
    for (qsizetype pos = 0; pos < content.size();) {
        const IniLines::Line line = IniLines::lineAt(content, pos);
        pos = line.next;
        const QByteArrayView text = content.sliced(line.begin, line.end - line.begin);
        QByteArrayView name;
        if (IniLines::sectionName(text, &name)) {
            current = 0;
            // "Clip1" to "Clip9" have 5 bytes, the others 6; names match only at the same length.
            for (int clip = name.size() == 5 ? 1 : name.size() == 6 ? 10 : 31; clip <= 30; ++clip)
                if (IniLines::sameName(name, sectionNames()[clip])) {
                    current = seen[size_t(clip)] ? 0 : clip;
                    seen[size_t(clip)] = true;
                    break;
                }
            continue;
        }
        if (current == 0 || !IniLines::keyName(text, &name))
            continue;
        for (size_t k = 0; k < 3; ++k)
            if (lines[size_t(current)][k].isNull() && IniLines::sameName(name, Keys[k]))
                lines[size_t(current)][k] = text;
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    FuzzSupport::startApplication((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content = FuzzSupport::bytesOf(data, size).toByteArray();
    const ProjectReader::Index index(content);
    const Lines lines = plainLines(content);
    const int plainClip = int(size % 30) + 1;
    for (int clip = 1; clip <= 30; ++clip) {
        for (size_t k = 0; k < 3; ++k) {
            const QByteArray value = index.value(clip, Keys[k]);
            const QByteArrayView line = lines[size_t(clip)][k];
            check(value == (line.isNull() ? QByteArray() : IniLines::value(line)), "the index finds the reader's line");
            if (clip == plainClip)
                check(value == IniFile::readValue(content, sectionNames()[clip], Keys[k]),
                      "the index gives what the INI reader gives");
        }
    }
    check(index.value(0, "Format").isNull() && index.value(31, "Name").isNull(), "clips 1 to 30 only");
    return 0;
}
