// The whole project reader on bytes in memory. Besides the sanitizers' findings, an input fails when a row shows
// nothing after reading, or when saving what was read and reading it again changes a clip: its format, text,
// data, picture or paste method. A clip's name goes through the index as an INI value, which keeps its first line and
// loses blanks at its ends and a pair of quotes around it; that much is expected. The seeds are projects saved by the
// writer.

#include "FuzzSupport.h"
#include "project/ClipTable.h"
#include "project/ContainerFormat.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "services/CodePage.h"
#include "services/IniFile.h"

using FuzzSupport::check;

namespace {

QByteArray member(const QByteArray& name, const QByteArray& data) {
    return ContainerFormat::memberHead(name, qint32(data.size())) + data;
}

// The project file the writer would make of the table, in memory.
QByteArray saved(const ClipTable& table) {
    QByteArray bytes = ContainerFormat::countBytes(ClipTable::ClipCount + 1);
    bytes += member("zp.ini", ProjectWriter::indexContent(table));
    for (int i = 1; i <= ClipTable::ClipCount; ++i)
        bytes += member("clip" + QByteArray::number(i) + ".dat", ProjectWriter::clipFileContent(table, i));
    return bytes;
}

// A name after the writer put it into the index (up to its first line break) and the INI reader read it back.
QString nameThroughIndex(const QString& name) {
    if (name == ClipTable::EmptyClipText)
        return name;
    QByteArray stored = CodePage::toAnsi(name);
    for (const char lineBreak : {'\r', '\n'})
        if (const qsizetype at = stored.indexOf(lineBreak); at >= 0)
            stored.truncate(at);
    const QByteArray value = IniFile::readValue("[s]\r\nName = " + stored, "s", "Name");
    if (value == ContainerFormat::EmptyClipBytes || value.isEmpty())
        return ClipTable::EmptyClipText;
    return CodePage::fromAnsi(value);
}

QImage rgb(const QImage& picture) {
    return picture.convertToFormat(QImage::Format_RGB888);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    FuzzSupport::startApplication((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ClipTable first;
    ProjectReader::read(FuzzSupport::bytesOf(data, size), first);
    ClipTable again;
    ProjectReader::read(saved(first), again);
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        const ClipTable::Clip& was = first.clip(i);
        const ClipTable::Clip& is = again.clip(i);
        check(!was.text.isEmpty(), "every row shows something");
        check(is.format == was.format && is.locked == was.locked, "the format survives saving");
        check(is.data == was.data, "the text of a long or rich-text clip survives saving");
        const QString text = was.format == ClipTable::TxtSimple ? was.text : nameThroughIndex(was.text);
        if (is.text != text) {
            std::fprintf(stderr, "clip %d %s read as \"%s\", saved and read as \"%s\"\n", i, qPrintable(was.format),
                         qPrintable(was.text), qPrintable(is.text));
            FuzzSupport::fail("the row text survives saving");
        }
        check(rgb(is.picture) == rgb(was.picture), "the picture survives saving");
        if (again.ClipMethod[size_t(i)] != first.ClipMethod[size_t(i)]) {
            std::fprintf(stderr, "clip %d method %d saved and read as %d\n", i, first.ClipMethod[size_t(i)],
                         again.ClipMethod[size_t(i)]);
            FuzzSupport::fail("the paste method survives saving");
        }
    }
    return 0;
}
