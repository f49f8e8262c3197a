#include "editor/RichTextTools.h"

#include "richtext/RichTextFormat.h"
#include "services/Settings.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <cmath>

namespace RichTextTools {

namespace {

QString familyOf(const QTextCharFormat& format) {
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() ? format.font().family() : families.first();
}

// Calls visit for the character format of every run the selection touches (the format before the caret when
// nothing is selected).
template <typename Visit> void forEachSelectedFormat(const QTextEdit& box, Visit visit) {
    const QTextCursor cursor = box.textCursor();
    if (!cursor.hasSelection()) {
        visit(box.currentCharFormat());
        return;
    }
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    for (QTextBlock block = box.document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() > start && fragment.position() < end)
                visit(fragment.charFormat());
        }
    }
}

template <typename Visit> void forEachSelectedBlock(QTextEdit& box, Visit visit) {
    const QTextCursor cursor = box.textCursor();
    QTextBlock block = box.document()->findBlock(cursor.selectionStart());
    const QTextBlock last = box.document()->findBlock(cursor.selectionEnd());
    for (; block.isValid(); block = block.next()) {
        visit(block);
        if (block == last)
            break;
    }
}

void merge(QTextEdit& box, const QTextCharFormat& format) {
    box.mergeCurrentCharFormat(format);
}

} // namespace

SelectionState selectionState(const QTextEdit& box) {
    SelectionState state;
    bool first = true;
    state.bold = state.italic = state.underline = true;
    forEachSelectedFormat(box, [&](const QTextCharFormat& format) {
        state.bold = state.bold && format.fontWeight() >= QFont::Bold;
        state.italic = state.italic && format.fontItalic();
        state.underline = state.underline && format.fontUnderline();
        const QString family = familyOf(format);
        const double size =
            format.fontPointSize() > 0 ? format.fontPointSize() : box.document()->defaultFont().pointSizeF();
        if (first) {
            state.family = family;
            state.size = size;
            state.color = format.foreground().color();
            first = false;
        } else {
            if (family != state.family)
                state.family.clear();
            if (size != state.size)
                state.size = 0;
        }
    });
    int bullets = 0;
    int blocks = 0;
    bool firstBlock = true;
    forEachSelectedBlock(const_cast<QTextEdit&>(box), [&](const QTextBlock& block) {
        ++blocks;
        bullets += richtext::isBullet(block) ? 1 : 0;
        const Qt::Alignment alignment = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (firstBlock)
            state.alignment = alignment;
        else if (alignment != state.alignment)
            state.alignment = {};
        firstBlock = false;
    });
    state.bullet = blocks > 0 && bullets == blocks;
    state.bulletMixed = bullets > 0 && bullets < blocks;
    return state;
}

void setBold(QTextEdit& box, bool on) {
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    merge(box, format);
}

void setItalic(QTextEdit& box, bool on) {
    QTextCharFormat format;
    format.setFontItalic(on);
    merge(box, format);
}

void setUnderline(QTextEdit& box, bool on) {
    QTextCharFormat format;
    format.setFontUnderline(on);
    merge(box, format);
}

void setFontFamily(QTextEdit& box, const QString& family) {
    QTextCharFormat format;
    format.setFontFamilies({family});
    merge(box, format);
}

void setFontSize(QTextEdit& box, double points) {
    QTextCharFormat format;
    format.setFontPointSize(points);
    merge(box, format);
}

void setColor(QTextEdit& box, const QColor& color) {
    QTextCharFormat format;
    format.setForeground(color);
    merge(box, format);
}

void setFontAndColor(QTextEdit& box, const QFont& font, const QColor& color) {
    QTextCharFormat format;
    format.setFontFamilies({font.family()});
    if (font.pointSizeF() > 0)
        format.setFontPointSize(font.pointSizeF());
    format.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font.italic());
    format.setFontUnderline(font.underline());
    format.setFontStrikeOut(font.strikeOut());
    format.setForeground(color);
    merge(box, format);
}

void setAlignment(QTextEdit& box, Qt::Alignment alignment) {
    box.setAlignment(alignment);
}

bool toggleBullet(QTextEdit& box) {
    const SelectionState state = selectionState(box);
    const bool on = !state.bullet;
    QTextCursor cursor = box.textCursor();
    cursor.beginEditBlock();
    forEachSelectedBlock(box, [&](const QTextBlock& block) {
        QTextBlockFormat format = block.blockFormat();
        const int indent = richtext::twips(format, richtext::LeftIndentTwips);
        const bool had = richtext::isBullet(block);
        if (on && !had) {
            richtext::setTwips(format, richtext::LeftIndentTwips, indent + BulletIndentTwips);
        } else if (!on) {
            richtext::setTwips(format, richtext::LeftIndentTwips, std::max(0, indent - BulletIndentTwips));
            richtext::setTwips(format, richtext::FirstIndentTwips, 0);
        }
        QTextCursor(block).setBlockFormat(format);
    });
    richtext::setBullets(cursor, on);
    cursor.endEditBlock();
    return on;
}

void RestartRTFbox(QTextEdit& box, const QFont& defaultFont, const QColor& defaultColor) {
    QTextCursor cursor(box.document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    QTextCharFormat format;
    format.setFontFamilies({defaultFont.family()});
    format.setFontPointSize(defaultFont.pointSizeF() > 0 ? defaultFont.pointSizeF() : 9);
    format.setForeground(defaultColor);
    cursor.setCharFormat(format);
    richtext::setBullets(cursor, false);
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.endEditBlock();
    cursor.clearSelection();
    box.setTextCursor(cursor);
    box.setCurrentCharFormat(format);
    box.setAlignment(Qt::AlignLeft);
}

int sizeFromText(const QString& text) {
    const double value = Settings::valueOf(text);
    if (value == 0 || value > 64)
        return 64;
    return int(std::nearbyint(value)); // the default rounding mode sends halves to the even neighbour
}

} // namespace RichTextTools
