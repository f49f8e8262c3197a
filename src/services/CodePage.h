#pragma once

#include <QByteArray>
#include <QString>

// Texts in files (settings, project index, clip data, overview page, hand-over file) are kept in the
// legacy ANSI code page of the user's language, so files stay byte-compatible across platforms.
namespace CodePage {

// The code page in force: $ZOLPANE_CODEPAGE when it holds a number, else derived from the language
// of LC_ALL, LC_CTYPE or LANG (first one set).
int ansiCodePage();

// The code page for a locale name such as "cs_CZ.UTF-8"; 1252 for anything unknown.
int codePageForLocale(const QString& locale);

// Encodes text in the code page; a character the code page cannot hold becomes "?".
QByteArray toAnsi(const QString& text, int codePage);
inline QByteArray toAnsi(const QString& text) {
    return toAnsi(text, ansiCodePage());
}

// Decodes bytes of the code page; a byte with no meaning there becomes "?".
QString fromAnsi(const QByteArray& bytes, int codePage);
inline QString fromAnsi(const QByteArray& bytes) {
    return fromAnsi(bytes, ansiCodePage());
}

// The font character set value of a code page (0 when unknown).
int charsetForCodePage(int codePage);

} // namespace CodePage

// The character set of the default ANSI code page, 0..255.
int SystemCharset();
