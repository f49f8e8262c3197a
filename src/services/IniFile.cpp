#include "services/IniFile.h"

#include "services/CodePage.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <vector>

namespace {

struct Line {
    qsizetype begin; // offset of the first byte of the line
    qsizetype end;   // offset just past the line's text (before CR LF)
    qsizetype next;  // offset of the next line
};

std::vector<Line> splitLines(const QByteArray& content) {
    std::vector<Line> lines;
    qsizetype pos = 0;
    const qsizetype n = content.size();
    while (pos < n) {
        qsizetype lf = content.indexOf('\n', pos);
        const qsizetype next = lf < 0 ? n : lf + 1;
        qsizetype end = lf < 0 ? n : lf;
        if (end > pos && content.at(end - 1) == '\r')
            --end;
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

QByteArray lineText(const QByteArray& content, const Line& line) {
    return content.mid(line.begin, line.end - line.begin);
}

// Names are compared as the user's language sees them, so non-ASCII letters match in either case too.
bool equalNoCase(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    if (a.compare(b, Qt::CaseInsensitive) == 0)
        return true;
    return CodePage::fromAnsi(a).compare(CodePage::fromAnsi(b), Qt::CaseInsensitive) == 0;
}

// The name of a section header line, or a null array when the line is no header.
QByteArray sectionName(const QByteArray& text) {
    const QByteArray t = text.trimmed();
    if (!t.startsWith('['))
        return {};
    const qsizetype close = t.indexOf(']');
    const QByteArray name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    return name.isNull() ? QByteArray("") : name;
}

bool isComment(const QByteArray& text) {
    return text.trimmed().startsWith(';');
}

bool keyMatches(const QByteArray& text, const QByteArray& key, QByteArray* value) {
    if (isComment(text))
        return false;
    const qsizetype eq = text.indexOf('=');
    if (eq < 0)
        return false;
    if (!equalNoCase(text.left(eq).trimmed(), key.trimmed()))
        return false;
    if (value) {
        QByteArray v = text.mid(eq + 1).trimmed();
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.mid(1, v.size() - 2);
        *value = v;
    }
    return true;
}

// Index range [first, last) of the lines of the first section with this name; first = -1 when missing.
std::pair<qsizetype, qsizetype> findSection(const QByteArray& content, const std::vector<Line>& lines,
                                            const QByteArray& section) {
    qsizetype first = -1;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const QByteArray name = sectionName(lineText(content, lines[i]));
        if (name.isNull())
            continue;
        if (first >= 0)
            return {first, i};
        if (equalNoCase(name, section.trimmed()))
            first = i + 1;
    }
    return {first, qsizetype(lines.size())};
}

} // namespace

namespace IniFile {

QByteArray readValue(const QByteArray& content, const QByteArray& section, const QByteArray& key) {
    const auto lines = splitLines(content);
    const auto [first, last] = findSection(content, lines, section);
    if (first < 0)
        return {};
    QByteArray value;
    for (qsizetype i = first; i < last; ++i)
        if (keyMatches(lineText(content, lines[size_t(i)]), key, &value))
            return value.left(MaxValueBytes);
    return {};
}

QByteArray writeValue(const QByteArray& content, const QByteArray& section, const QByteArray& key,
                      const QByteArray& value) {
    const QByteArray entry = key.trimmed() + '=' + value;
    const auto lines = splitLines(content);
    const auto [first, last] = findSection(content, lines, section);
    QByteArray out = content;
    if (first < 0) {
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += "\r\n";
        out += '[' + section.trimmed() + "]\r\n" + entry + "\r\n";
        return out;
    }
    qsizetype lastEntry = first - 1; // the header line when the section has no entries
    for (qsizetype i = first; i < last; ++i) {
        const Line& line = lines[size_t(i)];
        const QByteArray text = lineText(content, line);
        if (keyMatches(text, key, nullptr)) {
            out.replace(line.begin, line.end - line.begin, entry);
            return out;
        }
        if (!text.trimmed().isEmpty())
            lastEntry = i;
    }
    const Line& after = lines[size_t(lastEntry)];
    if (after.next == after.end) // last line of the file without a line end
        out.insert(after.end, "\r\n" + entry + "\r\n");
    else
        out.insert(after.next, entry + "\r\n");
    return out;
}

QString read(const QString& path, const QString& section, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return CodePage::fromAnsi(readValue(file.readAll(), CodePage::toAnsi(section), CodePage::toAnsi(key)));
}

bool write(const QString& path, const QString& section, const QString& key, const QString& value) {
    QByteArray content;
    {
        QFile file(path);
        if (file.exists()) {
            if (!file.open(QIODevice::ReadOnly))
                return false;
            content = file.readAll();
        }
    }
    const QByteArray updated =
        writeValue(content, CodePage::toAnsi(section), CodePage::toAnsi(key), CodePage::toAnsi(value));
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(updated) != updated.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace IniFile
