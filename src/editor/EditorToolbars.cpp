#include "editor/EditorToolbars.h"

#include "widgets/Icons.h"

#include <QActionGroup>
#include <QApplication>
#include <QMainWindow>
#include <QPainter>
#include <QToolBar>

namespace {

// Edit toolbar: tooltip, freedesktop icon, own icon, and the glyph drawn when neither exists; an empty tooltip
// with no icon marks a separator.
struct ToolButton {
    const char* tip;
    const char* themed;
    const char* own;
    const char* glyph;
};
const ToolButton Toolbar2Buttons[33] = {
    {"Load from file", "document-open", "open", ""},
    {"Save to file", "document-save", "save", ""},
    {nullptr, nullptr, nullptr, nullptr},
    {"", "edit-undo", "", "\u21b6"},
    {nullptr, nullptr, nullptr, nullptr},
    {"Bold", "format-text-bold", "", "B"},
    {"Italic", "format-text-italic", "", "I"},
    {"Underline", "format-text-underline", "", "U"},
    {"Bullet", "format-list-unordered", "", "\u2022"},
    {nullptr, nullptr, nullptr, nullptr},
    {"Change font color", "format-text-color", "", "A"},
    {"Select font", "preferences-desktop-font", "", "F"},
    {nullptr, nullptr, nullptr, nullptr},
    {"Left alignment", "format-justify-left", "", "\u2261"},
    {"Center alignment", "format-justify-center", "", "\u2263"},
    {"Right alignment", "format-justify-right", "", "\u2262"},
    {nullptr, nullptr, nullptr, nullptr},
    {"Cut", "edit-cut", "", "\u2702"},
    {"Copy", "edit-copy", "copy", ""},
    {"Paste", "edit-paste", "clipboard", ""},
    {nullptr, nullptr, nullptr, nullptr},
    {"Grayscale", "", "", "Gr"},
    {"Invert colors", "", "", "Iv"},
    {"Soften", "", "", "So"},
    {"Sharpen", "", "", "Sh"},
    {"Diffuse", "", "", "Di"},
    {"Emboss", "", "", "Em"},
    {"Solarize", "", "", "Sz"},
    {"Lighten", "", "", "Li"},
    {nullptr, nullptr, nullptr, nullptr},
    {"Balance colors", "", "", "CB"},
    {"Brightness", "", "", "Br"},
    {nullptr, nullptr, nullptr, nullptr},
};

QIcon glyphIcon(const QString& glyph) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font = QApplication::font();
    font.setPixelSize(glyph.size() > 1 ? 15 : 22);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QApplication::palette().color(QPalette::ButtonText));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

QIcon buttonIcon(const ToolButton& button) {
    if (*button.themed && QIcon::hasThemeIcon(QString::fromLatin1(button.themed)))
        return QIcon::fromTheme(QString::fromLatin1(button.themed));
    if (*button.own)
        return ownIcon(QString::fromLatin1(button.own));
    return glyphIcon(QString::fromUtf8(button.glyph));
}

} // namespace

EditorToolbars EditorToolbars::build(QMainWindow& window) {
    EditorToolbars bars;
    bars.toolbar = window.addToolBar(QStringLiteral("toolbar"));
    bars.toolbar->setObjectName(QStringLiteral("toolbar"));
    bars.toolbar->setMovable(false);
    bars.toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    window.addToolBarBreak();
    bars.toolbar2 = window.addToolBar(QStringLiteral("toolbar2"));
    bars.toolbar2->setObjectName(QStringLiteral("toolbar2"));
    bars.toolbar2->setMovable(false);
    bars.toolbar2->setIconSize(QSize(16, 16));

    struct MainButton {
        const char* caption;
        const char* tip;
        const char* themed;
        const char* own;
    };
    const MainButton mainButtons[8] = {{"OK", "Save changes and close", "dialog-ok", "save"},
                                       {"Cancel", "Discard changes, close", "dialog-cancel", "exit"},
                                       {nullptr, nullptr, nullptr, nullptr},
                                       {"Clear", "Clear text/picture", "edit-clear", "clean"},
                                       {nullptr, nullptr, nullptr, nullptr},
                                       {"Plain Text", "", "text-plain", "edit"},
                                       {"RTF", "", "text-richtext", "edit"},
                                       {"Image", "", "image-x-generic", "properties"}};
    bars.buttons.fill(nullptr, 9);
    auto* modeGroup = new QActionGroup(&window);
    for (int i = 1; i <= 8; ++i) {
        const MainButton& button = mainButtons[i - 1];
        QAction* action =
            button.caption
                ? bars.toolbar->addAction(
                      sharedIcon("toolbar/" + QByteArray::number(i),
                                 [&button] { return themedIcon(button.themed, QString::fromLatin1(button.own)); }),
                      QString::fromLatin1(button.caption))
                : bars.toolbar->addSeparator();
        action->setObjectName(QStringLiteral("toolbar(%1)").arg(i));
        if (button.tip && *button.tip)
            action->setToolTip(QString::fromLatin1(button.tip));
        bars.buttons[i] = action;
    }
    // The three mode buttons: pressing one releases the others.
    for (int i = 6; i <= 8; ++i) {
        bars.buttons[i]->setCheckable(true);
        modeGroup->addAction(bars.buttons[i]);
    }

    bars.buttons2.fill(nullptr, 34);
    auto* alignment = new QActionGroup(&window);
    for (int i = 1; i <= 33; ++i) {
        const ToolButton& button = Toolbar2Buttons[i - 1];
        QAction* action = button.tip ? bars.toolbar2->addAction(sharedIcon("toolbar2/" + QByteArray::number(i),
                                                                           [&button] { return buttonIcon(button); }),
                                                                QString::fromUtf8(button.tip))
                                     : bars.toolbar2->addSeparator();
        action->setObjectName(QStringLiteral("toolbar2(%1)").arg(i));
        action->setToolTip(button.tip ? QString::fromUtf8(button.tip) : QString());
        if (i >= 6 && i <= 9)
            action->setCheckable(true);
        if (i >= 14 && i <= 16) {
            action->setCheckable(true);
            alignment->addAction(action);
        }
        bars.buttons2[i] = action;
    }
    bars.buttons2[14]->setChecked(true);
    return bars;
}
