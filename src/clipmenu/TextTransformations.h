#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

#include <span>

// The text rewrites of the clipboard menu as pure functions of a string. Each one runs in a single pass
// (or a fixed number of passes) over the text, so multi-megabyte clipboard texts stay quick. Characters
// outside the Basic Multilingual Plane (surrogate pairs) are always handled as one character. The text is
// taken by value and rewritten in place where the result allows: a caller that moves its only copy in (the
// clipboard commands) needs little memory beyond the text itself, even for a text of 100 MB.
namespace TextTransformations {

// Texts longer than this many UTF-16 units go through RemoveDiacriticsLong.
constexpr qsizetype LongTextLength = 20000;

struct DiacriticPair {
    char16_t accented;
    char16_t base;
};

// The 68 rows of the diacritics table in their fixed order; two letters appear twice, the first row wins.
std::span<const DiacriticPair> diacriticsTable();

// Full-string conversions of the locale (they may change the length, e.g. German sharp s to "SS").
QString toLowerCase(QString text, const QLocale& locale = QLocale());
QString toUpperCase(QString text, const QLocale& locale = QLocale());
// The first character of every word upper case, all others lower case. Words are separated only by space,
// tab, line feed, vertical tab, form feed, carriage return and the zero character.
QString toProperCase(QString text, const QLocale& locale = QLocale());

// True when c equals its own upper-case form; characters without case count as upper case.
bool IsUpperChar(char32_t c);
// Every character to lower case when IsUpperChar, else to upper case.
QString ReverseCase(QString text);
// Character positions alternate between upper and lower case, starting with upper when firstUpper;
// characters without case still take their position.
QString ZigZagCase(QString text, bool firstUpper);
// Trims blanks, optionally lowers everything (keepBig false), raises the first cased character of each
// sentence (sentences end at ".", "!", "?", ":") and appends "." unless the text ends in ".", "!" or "?".
QString SentenceCase(QString text, bool keepBig, const QLocale& locale = QLocale());
// The characters in reverse order; with keepLineBreaks each reversed CR LF (now LF CR) is set right again.
QString ReverseText(QString text, bool keepLineBreaks);

// Replaces the accented letters of the diacritics table by their base letters; the rest is kept.
QString RemoveDiacritics(QString text);
// The variant for long texts: the text passes through the ANSI code page (characters it cannot hold become
// "?"), loses its diacritics line by line, and every line break (CR, LF or CR LF) comes back as CR LF.
QString RemoveDiacriticsLong(QString text, int codePage);
QString RemoveDiacriticsLong(QString text);

// The date in the locale's short date format, and the time in its long time format (with seconds, without
// the time zone name some locales add).
QString dateText(const QDate& date, const QLocale& locale = QLocale());
QString timeText(const QTime& time, const QLocale& locale = QLocale());

} // namespace TextTransformations
