#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The lines of an INI file as the INI routines read them, on views into the file's bytes so that a pass over a
// file of many megabytes copies nothing: lines end at LF (a CR before it is no part of the line), a header is a
// line whose first non-blank character is "[", a key line holds "=" and does not start with ";".
namespace IniLines {

struct Line {
    qsizetype begin; // offset of the line's first byte
    qsizetype end;   // offset just past its text (before CR LF)
    qsizetype next;  // offset of the next line
};

// The line starting at pos (pos < content.size()).
Line lineAt(QByteArrayView content, qsizetype pos);

// The trimmed name of a header line ("[name]", the "]" optional); false when the line is no header.
bool sectionName(QByteArrayView line, QByteArrayView* name);
// The trimmed key of a key line; false for comments and lines without "=".
bool keyName(QByteArrayView line, QByteArrayView* key);
// The value of a key line: blanks around it and one pair of matching quotes removed, cut to the bytes a read
// returns.
QByteArray value(QByteArrayView line);

// Names match without regard to case as the user's language sees them: same length in bytes and the same text in
// the ANSI code page once case-folded.
bool sameName(QByteArrayView a, QByteArrayView b);
// A hash equal for names sameName() matches, for a code page and a seed.
size_t nameHash(QByteArrayView name, int codePage, size_t seed);

// The lines [begin, end) of the body of the first section named section at or after from; begin = -1 when there
// is none. end is the offset of the next header line or the end of the content.
struct Body {
    qsizetype header = -1; // offset of the header line
    qsizetype begin = -1;
    qsizetype end = -1;
};
Body findSection(QByteArrayView content, qsizetype from, QByteArrayView section);
// The offset of the first key line named key in [from, end); -1 when there is none.
qsizetype findKey(QByteArrayView content, qsizetype from, qsizetype end, QByteArrayView key);

} // namespace IniLines
