#include "services/ReplaceText.h"

QString ReplaceText(const QString& text, const QString& find, const QString& replacement) {
    if (find.isEmpty())
        return text;
    qsizetype hit = text.indexOf(find, 0, Qt::CaseSensitive);
    if (hit < 0)
        return text;
    // Copy the stretches between occurrences into a fresh string instead of splicing in place, so a text
    // with many occurrences costs one pass rather than one copy of the rest per occurrence.
    QString out;
    out.reserve(text.size());
    const QStringView source(text);
    qsizetype from = 0;
    while (hit >= 0) {
        out.append(source.mid(from, hit - from));
        out.append(replacement);
        from = hit + find.size();
        hit = text.indexOf(find, from, Qt::CaseSensitive);
    }
    out.append(source.mid(from));
    return out;
}
