#pragma once

// A one-line-per-paragraph notation of a rich text document, written by describe() and read by build(), so that
// tests state documents compactly and compare them property by property:
//   C li=400 ri=0 fi=-200 sb=0 sa=0 •: plain [b,i,u,s,sup,font=Arial,size=14,fg=#ff0000,bg=#00ff00|formatted]
// Alignment L/C/R/J, then the twips properties that are not 0, "•" for a bullet, then the runs; "<br>" stands for a
// line break, "<tab>" for a tab. A run's font and size are shown where they differ from the given base.

#include "richtext/CodePageConverter.h"
#include "richtext/RichTextFormat.h"
#include "services/CodePage.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace RichTextTestUtil {

inline richtext::CodePageConverter codePages() {
    return {[](const QByteArray& bytes, int codePage) { return CodePage::fromAnsi(bytes, codePage); },
            [](const QString& text, int codePage) { return CodePage::toAnsi(text, codePage); }};
}

inline const std::pair<const char*, richtext::Property> twipsNames[] = {{"li", richtext::LeftIndentTwips},
                                                                        {"ri", richtext::RightIndentTwips},
                                                                        {"fi", richtext::FirstIndentTwips},
                                                                        {"sb", richtext::SpaceBeforeTwips},
                                                                        {"sa", richtext::SpaceAfterTwips}};

inline QString runAttributes(const QTextCharFormat& f, const QFont& defaultFont, const QString& family, double size) {
    QStringList attributes;
    const auto add = [&](bool on, const QString& name) {
        if (on)
            attributes << name;
    };
    add(f.fontWeight() >= QFont::DemiBold, "b");
    add(f.fontItalic(), "i");
    add(f.fontUnderline(), "u");
    add(f.fontStrikeOut(), "s");
    add(f.verticalAlignment() == QTextCharFormat::AlignSuperScript, "sup");
    add(f.verticalAlignment() == QTextCharFormat::AlignSubScript, "sub");
    const QString runFamily = f.fontFamilies().toStringList().value(0, defaultFont.family());
    add(runFamily != family, "font=" + runFamily);
    const double runSize = f.fontPointSize() > 0 ? f.fontPointSize() : defaultFont.pointSizeF();
    add(runSize != size, "size=" + QString::number(runSize));
    add(f.hasProperty(QTextFormat::ForegroundBrush), "fg=" + f.foreground().color().name());
    add(f.hasProperty(QTextFormat::BackgroundBrush), "bg=" + f.background().color().name());
    return attributes.join(',');
}

inline QString describe(const QTextDocument& document, QString family = {}, double size = 0) {
    const QFont defaultFont = document.defaultFont();
    if (family.isEmpty())
        family = defaultFont.family();
    if (size == 0)
        size = defaultFont.pointSizeF();
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
        QString line = align & Qt::AlignHCenter   ? "C"
                       : align & Qt::AlignRight   ? "R"
                       : align & Qt::AlignJustify ? "J"
                                                  : "L";
        for (const auto& [name, which] : twipsNames)
            if (richtext::twips(format, which) != 0)
                line += QString(" %1=%2").arg(name).arg(richtext::twips(format, which));
        line += richtext::isBullet(block) ? " •: " : ": ";
        QString attributes, text;
        const auto flush = [&] {
            line += attributes.isEmpty() ? text : "[" + attributes + "|" + text + "]";
            text.clear();
        };
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QString runAttrs = runAttributes(it.fragment().charFormat(), defaultFont, family, size);
            if (runAttrs != attributes)
                flush();
            attributes = runAttrs;
            text += it.fragment().text();
        }
        flush();
        lines << line.replace(QChar::LineSeparator, QLatin1String("<br>")).replace('\t', "<tab>");
    }
    return lines.join('\n');
}

inline void build(QTextDocument& document, const QString& notation) {
    document.clear();
    QTextCursor cursor(&document);
    const QStringList lines = notation.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        if (n > 0)
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        const qsizetype colon = lines[n].indexOf(": ");
        const QStringList head = lines[n].left(colon).split(' ');
        QTextBlockFormat format;
        format.setAlignment(head[0] == "C"   ? Qt::AlignHCenter
                            : head[0] == "R" ? Qt::AlignRight
                            : head[0] == "J" ? Qt::AlignJustify
                                             : Qt::AlignLeft);
        for (const auto& [name, which] : twipsNames)
            for (const QString& item : head)
                if (item.startsWith(QLatin1String(name) + "="))
                    richtext::setTwips(format, which, item.section('=', 1).toInt());
        cursor.setBlockFormat(format);
        if (head.contains("•"))
            richtext::setBullets(cursor, true);
        QString runs = lines[n].mid(colon + 2).replace("<br>", QString(QChar::LineSeparator)).replace("<tab>", "\t");
        while (!runs.isEmpty()) {
            QTextCharFormat run;
            QString text;
            if (runs.startsWith('[')) {
                const qsizetype bar = runs.indexOf('|'), end = runs.indexOf(']');
                for (const QString& a : runs.mid(1, bar - 1).split(',')) {
                    const QString value = a.section('=', 1);
                    if (a == "b")
                        run.setFontWeight(QFont::Bold);
                    run.setFontItalic(run.fontItalic() || a == "i");
                    run.setFontUnderline(run.fontUnderline() || a == "u");
                    run.setFontStrikeOut(run.fontStrikeOut() || a == "s");
                    if (a == "sup" || a == "sub")
                        run.setVerticalAlignment(a == "sup" ? QTextCharFormat::AlignSuperScript
                                                            : QTextCharFormat::AlignSubScript);
                    if (a.startsWith("font="))
                        run.setFontFamilies({value});
                    if (a.startsWith("size="))
                        run.setFontPointSize(value.toDouble());
                    if (a.startsWith("fg="))
                        run.setForeground(QColor(value));
                    if (a.startsWith("bg="))
                        run.setBackground(QColor(value));
                }
                text = runs.mid(bar + 1, end - bar - 1);
                runs = runs.mid(end + 1);
            } else {
                text = runs.left(runs.indexOf('['));
                runs = runs.mid(text.size());
            }
            cursor.insertText(text, run);
        }
    }
}

} // namespace RichTextTestUtil
