#include "editor/EditorCaption.h"

#include "editor/EditorModes.h"

#include <QLocale>

namespace EditorCaption {

namespace {

QString clipName(int clipNumber) {
    return QStringLiteral("Clip ") + QString::number(clipNumber);
}

QString prefixed(QString caption, const QString& prefix) {
    if (!caption.startsWith(prefix.trimmed()))
        caption.prepend(prefix);
    return caption.left(PrefixedLimit);
}

} // namespace

Caption caption(const QString& modeName, bool customName, const QString& name, const QString& text, int clipNumber) {
    const EditorModes::Mode mode = EditorModes::fromName(modeName);
    Caption result;
    if (customName) {
        result.text = name;
    } else {
        const qsizetype p = text.indexOf(QLatin1String("\r\n")) + 1; // 1-based, 0 when there is none
        if (p > 1) {
            result.text = text.left(p - 1).left(ShortCaption);
        } else if (mode == EditorModes::Mode::Txt && text.size() <= SimpleTextLimit) {
            result.simple = p == 0;
            result.text = p == 0 ? text : clipName(clipNumber);
        } else if (mode == EditorModes::Mode::Rtf && text.size() <= ShortCaption) {
            result.text = p == 0 ? text : clipName(clipNumber);
        } else {
            result.text = text.left(ShortCaption);
        }
    }
    if (result.text.trimmed().isEmpty())
        result.text = clipName(clipNumber);
    if (mode == EditorModes::Mode::Img)
        result.text = prefixed(result.text, QStringLiteral("(IMG) "));
    else if (mode == EditorModes::Mode::Rtf)
        result.text = prefixed(result.text, QStringLiteral("(RTF) "));
    return result;
}

QString formatCount(qint64 count) {
    if (count == 0)
        return QString();
    QLocale locale;
    locale.setNumberOptions(QLocale::DefaultNumberOptions); // grouping on, whatever the default locale says
    return locale.toString(count);
}

QString plainCounter(qint64 count) {
    const QString formatted = formatCount(count);
    return formatted.isEmpty() ? QStringLiteral("Characters: 0 / 100 000  ")
                               : QStringLiteral("Chars: ") + formatted + QStringLiteral(" / 100 000  ");
}

QString richCounter(qint64 count) {
    const QString formatted = formatCount(count);
    return QStringLiteral("Chars: ") + (formatted.isEmpty() ? QStringLiteral("0") : formatted) +
           QStringLiteral(" / 100 000  ");
}

QString openingCounter(const QString& modeName, qint64 count) {
    const EditorModes::Mode mode = EditorModes::fromName(modeName);
    if (mode == EditorModes::Mode::Rtf)
        return QStringLiteral("Chars: ") + formatCount(count) + QStringLiteral(" /100 000  ");
    if (mode == EditorModes::Mode::Txt && count > 0)
        return QStringLiteral("Chars: ") + formatCount(count) + QStringLiteral(" / 100 000  ");
    return QStringLiteral("Chars: 0 / 100 000  ");
}

} // namespace EditorCaption
