// The INI routines and the index of a settings file on bytes in memory. The input's first four lines name a section, a
// key, a value and a second key; the rest is the file. Besides the sanitizers' findings, an input fails when the index
// reads another value than the reader, when writing the value changes more than the one line of the key (or adds more
// than one entry and one header), when the value read back is not the one written, or when the second key's value
// changes. Section and key names an INI file cannot hold (with a line end, "]" in a section name, "=" in a key, a key
// read as a comment or header) only need to leave the routines without a crash. The seeds are settings files and
// hand-edited variants.

#include "FuzzSupport.h"
#include "services/IniFile.h"
#include "services/IniIndex.h"
#include "services/IniLines.h"

using FuzzSupport::check;

namespace {

// Splits off the first line; the rest stays in text.
QByteArray takeLine(QByteArrayView& text) {
    const qsizetype lf = text.indexOf('\n');
    if (lf < 0)
        return {};
    const QByteArray line = text.first(lf).toByteArray();
    text = text.sliced(lf + 1);
    return line;
}

bool storable(const QByteArray& section, const QByteArray& key, const QByteArray& value) {
    const QByteArray name = key.trimmed();
    return !section.contains('\r') && !section.contains(']') && !key.contains('\r') && !key.contains('=') &&
           !name.startsWith(';') && !name.startsWith('[') && !value.contains('\r');
}

// The value a reader gives for what was written: blanks around it and a pair of quotes around it go.
QByteArray asRead(const QByteArray& value) {
    QByteArray v = value.trimmed();
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v.left(IniFile::MaxValueBytes);
}

// Writing keeps the file byte for byte apart from one stretch without a line end, replaced or inserted.
void checkKept(const QByteArray& before, const QByteArray& after) {
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const QByteArrayView removed = QByteArrayView(before).sliced(head, before.size() - head - tail);
    check(!removed.contains('\n'), "writing removes no line end");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    FuzzSupport::startApplication((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArrayView rest = FuzzSupport::bytesOf(data, size);
    const QByteArray section = takeLine(rest);
    const QByteArray key = takeLine(rest);
    const QByteArray value = takeLine(rest);
    const QByteArray otherKey = takeLine(rest);
    const QByteArray content = rest.toByteArray();

    const QByteArray otherBefore = IniFile::readValue(content, section, otherKey);
    const QByteArray written = IniFile::writeValue(content, section, key, value);
    const QByteArray read = IniFile::readValue(written, section, key);
    // The index of a file gives what the reader gives, also when it holds too few lines and searches the rest.
    check(IniIndex(content).value(section, otherKey) == otherBefore, "the index reads as the reader");
    check(IniIndex(written, qsizetype(size % 5 + 1)).value(section, key) == read, "a small index reads as the reader");
    check(read.size() <= IniFile::MaxValueBytes, "a read gives at most 254 bytes");
    if (!storable(section, key, value))
        return 0;
    checkKept(content, written);
    check(read == asRead(value), "the value written is read back");
    if (!IniLines::sameName(otherKey.trimmed(), key.trimmed()) && !otherKey.contains('\r'))
        check(IniFile::readValue(written, section, otherKey) == otherBefore, "another key keeps its value");
    return 0;
}
