#include "paste/KeystrokeText.h"
#include "services/ReplaceText.h"

void EscapeKeystrokes(QString& text) {
    // One pass: a clip's own braces are dropped, so they are never typed and never taken for the braces added
    // around each character the notation would read as a command.
    static const QString commands = QStringLiteral("\";[]+^%~()|");
    QString escaped;
    escaped.reserve(text.size() + 16);
    for (const QChar c : std::as_const(text)) {
        if (c == u'{' || c == u'}')
            continue;
        if (commands.contains(c)) {
            escaped += u'{';
            escaped += c;
            escaped += u'}';
        } else {
            escaped += c;
        }
    }
    text = escaped;
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
