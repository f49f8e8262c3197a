// The project index (zp.ini), read in one pass by ProjectReader::Index, against the INI reader it stands in for:
// every clip's values against a plain pass over the lines with the INI routines' own line rules (first section of a
// name, first line of a key), and one clip chosen by the input's size against IniFile::readValue itself. The seeds
// are indexes the writer made and hand-edited ones.

#include "FuzzSupport.h"
#include "project/ProjectReader.h"
#include "services/CodePage.h"
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

// Names compare as the INI routines compare them: the same length in bytes and the same text case-folded in the
// ANSI code page. A name of the file is folded once and compared with all the names it could be.
QString folded(QByteArrayView name) {
    return CodePage::fromAnsi(name.toByteArray()).toCaseFolded();
}

// For each clip and key the first key line of the first section of that name, as the INI reader finds them.
using Lines = std::array<std::array<QByteArrayView, 3>, 31>;
Lines plainLines(QByteArrayView content) {
    static const QStringList clipNames = [] {
        QStringList list;
        for (const QByteArray& name : sectionNames())
            list.append(folded(name));
        return list;
    }();
    static const QStringList keyNames{folded(Keys[0]), folded(Keys[1]), folded(Keys[2])};
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
            const int first = name.size() == 5 ? 1 : name.size() == 6 ? 10 : 31;
            const QString header = first <= 30 ? folded(name) : QString();
            for (int clip = first; clip <= (first == 1 ? 9 : 30); ++clip)
                if (header == clipNames[clip]) {
                    current = seen[size_t(clip)] ? 0 : clip;
                    seen[size_t(clip)] = true;
                    break;
                }
            continue;
        }
        if (current == 0 || !IniLines::keyName(text, &name))
            continue;
        const QString key = name.size() == 4 || name.size() == 6 ? folded(name) : QString();
        for (size_t k = 0; k < 3; ++k)
            if (lines[size_t(current)][k].isNull() && name.size() == Keys[k].size() && key == keyNames[int(k)])
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
