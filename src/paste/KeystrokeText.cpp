#include "paste/KeystrokeText.h"
#include "services/ReplaceText.h"

void EscapeKeystrokes(QString& text) {
    // Braces go first, so the braces added below are never removed again and a clip's own braces are never
    // typed.
    static const char* const removed[] = {"{", "}"};
    for (const char* find : removed)
        text = ReplaceText(text, QLatin1String(find), QString());
    static const char* const braced[] = {"\"", ";", "[", "]", "+", "^", "%", "~", "(", ")", "|"};
    for (const char* find : braced)
        text = ReplaceText(text, QLatin1String(find), QLatin1Char('{') + QLatin1String(find) + QLatin1Char('}'));
}

QString placeholderTimeFormat(const QLocale& locale) {
    // Qt's long format ends with the time-zone name ("t"), which a clock in the text does not show. Quoted
    // literal text in the format is kept as it is.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out.append(c);
    }
    return out.trimmed();
}

void ExpandPlaceholders(QString& text, const QString& userName, const QDateTime& now, const QLocale& locale) {
    text = ReplaceText(text, QStringLiteral("%time%"), locale.toString(now.time(), placeholderTimeFormat(locale)));
    text = ReplaceText(text, QStringLiteral("%date%"), locale.toString(now.date(), QLocale::ShortFormat));
    text = ReplaceText(text, QStringLiteral("%user%"), userName);
}
