#include "richtext/RichTextFormat.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace richtext {

double twipsPerPixel() {
    const QScreen* screen =
        qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

int twips(const QTextBlockFormat& format, Property which) {
    return format.intProperty(which);
}

void setTwips(QTextBlockFormat& format, Property which, int value) {
    if (value == 0)
        format.clearProperty(which);
    else
        format.setProperty(which, value);
    const double pixels = value / twipsPerPixel();
    switch (which) {
    case LeftIndentTwips:
        format.setLeftMargin(pixels);
        break;
    case RightIndentTwips:
        format.setRightMargin(pixels);
        break;
    case FirstIndentTwips:
        format.setTextIndent(pixels);
        break;
    case SpaceBeforeTwips:
        format.setTopMargin(pixels);
        break;
    case SpaceAfterTwips:
        format.setBottomMargin(pixels);
        break;
    }
}

bool isBullet(const QTextBlock& block) {
    const QTextList* list = block.textList();
    return list && list->format().style() == QTextListFormat::ListDisc;
}

void setBullets(QTextCursor& cursor, bool on) {
    QTextDocument* document = cursor.document();
    QTextBlock block = document->findBlock(cursor.selectionStart());
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    QTextList* list = nullptr;
    for (;; block = block.next()) {
        if (QTextList* current = block.textList())
            current->remove(block);
        if (on) {
            if (list) {
                list->add(block);
            } else {
                QTextListFormat format;
                format.setStyle(QTextListFormat::ListDisc);
                format.setIndent(0);
                list = QTextCursor(block).createList(format);
            }
        }
        if (block == last || !block.isValid())
            break;
    }
    // Taking a block out of a list leaves the list's indent in its format; the twips indent alone places it.
    if (!on) {
        QTextCursor each(cursor);
        each.setPosition(cursor.selectionStart());
        each.setPosition(cursor.selectionEnd(), QTextCursor::KeepAnchor);
        QTextBlockFormat format;
        format.setIndent(0);
        each.mergeBlockFormat(format);
    }
}

QString plainText(const QTextDocument& document) {
    QString text = document.toPlainText(); // paragraphs joined by \n, line breaks as U+2028
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

} // namespace richtext
