#include "services/IniLines.h"

#include "services/CodePage.h"
#include "services/IniFile.h"

#include <QString>

#include <cstring>

namespace {

bool isAscii(QByteArrayView bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Every code page in use maps the ASCII bytes to the same characters, whose case folding is ASCII lower case; so
// ASCII names need no decoding.
char16_t foldedAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char16_t(c - 'A' + 'a') : char16_t(static_cast<unsigned char>(c));
}

// The first character that is no blank (as QByteArray::trimmed() sees blanks), or NUL for none.
char firstNonBlank(QByteArrayView line) {
    for (char c : line)
        if (c != ' ' && (c < '\t' || c > '\r'))
            return c;
    return '\0';
}

QString folded(QByteArrayView name, int codePage) {
    return CodePage::fromAnsi(name.toByteArray(), codePage).toCaseFolded();
}

} // namespace

namespace IniLines {

Line lineAt(QByteArrayView content, qsizetype pos) {
    const auto* start = content.data() + pos;
    const auto* lf = static_cast<const char*>(std::memchr(start, '\n', size_t(content.size() - pos)));
    const qsizetype next = lf ? lf - content.data() + 1 : content.size();
    qsizetype end = lf ? next - 1 : content.size();
    if (end > pos && content[end - 1] == '\r')
        --end;
    return {pos, end, next};
}

bool sectionName(QByteArrayView line, QByteArrayView* name) {
    if (firstNonBlank(line) != '[') // the quick test: most lines are no header
        return false;
    const QByteArrayView t = line.trimmed();
    const qsizetype close = t.indexOf(']');
    *name = (close < 0 ? t.sliced(1) : t.sliced(1, close - 1)).trimmed();
    return true;
}

bool keyName(QByteArrayView line, QByteArrayView* key) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0 || firstNonBlank(line) == ';')
        return false;
    *key = line.first(eq).trimmed();
    return true;
}

QByteArray value(QByteArrayView line) {
    QByteArrayView v = line.sliced(line.indexOf('=') + 1).trimmed();
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.sliced(1, v.size() - 2);
    return v.first(std::min<qsizetype>(v.size(), IniFile::MaxValueBytes)).toByteArray();
}

bool sameName(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size())
        return false;
    if (a == b) // the usual case of a name found, whatever its bytes: no decoding
        return true;
    if (isAscii(a) && isAscii(b))
        return a.compare(b, Qt::CaseInsensitive) == 0;
    const int codePage = CodePage::ansiCodePage();
    return folded(a, codePage) == folded(b, codePage);
}

size_t nameHash(QByteArrayView name, int codePage, size_t seed) {
    // FNV-1a over what sameName() compares: the length in bytes and the units of the folded text. Lookups verify
    // the name they find, so a collision costs time, never a wrong answer.
    quint64 hash = 0xcbf29ce484222325ULL ^ seed;
    const auto mix = [&hash](quint64 unit) { hash = (hash ^ unit) * 0x100000001b3ULL; };
    mix(quint64(name.size()));
    if (isAscii(name))
        for (char c : name)
            mix(foldedAscii(c));
    else
        for (QChar c : folded(name, codePage))
            mix(c.unicode());
    return size_t(hash);
}

Body findSection(QByteArrayView content, qsizetype from, QByteArrayView section) {
    Body body;
    for (qsizetype pos = from; pos < content.size();) {
        const Line line = lineAt(content, pos);
        QByteArrayView name;
        if (sectionName(content.sliced(line.begin, line.end - line.begin), &name)) {
            if (body.begin >= 0) {
                body.end = line.begin;
                return body;
            }
            if (sameName(name, section)) {
                body.header = line.begin;
                body.begin = line.next;
            }
        }
        pos = line.next;
    }
    if (body.begin >= 0)
        body.end = content.size();
    return body;
}

qsizetype findKey(QByteArrayView content, qsizetype from, qsizetype end, QByteArrayView key) {
    for (qsizetype pos = from; pos < end;) {
        const Line line = lineAt(content, pos);
        const QByteArrayView text = content.sliced(line.begin, line.end - line.begin);
        QByteArrayView name;
        if (sectionName(text, &name))
            return -1;
        if (keyName(text, &name) && sameName(name, key))
            return line.begin;
        pos = line.next;
    }
    return -1;
}

} // namespace IniLines
