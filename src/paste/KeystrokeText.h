#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Makes a clip's text safe to be typed as a keystroke string: curly braces are removed, then each character
// the notation would read as a command is put in braces (", ;, [, ], +, ^, %, ~, (, ), |).
void EscapeKeystrokes(QString& text);

// Replaces "%time%" (the long time format with seconds), "%date%" (the short date format) and "%user%" (the
// login name), in this order; other letter cases stay as they are.
void ExpandPlaceholders(QString& text, const QString& userName, const QDateTime& now = QDateTime::currentDateTime(),
                        const QLocale& locale = QLocale::system());

// The locale's long time format without its time-zone part (the time with seconds, as clocks show it).
QString placeholderTimeFormat(const QLocale& locale);
