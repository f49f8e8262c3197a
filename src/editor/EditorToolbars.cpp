#include "editor/EditorToolbars.h"

#include "widgets/Icons.h"

#include <QActionGroup>
#include <QApplication>
#include <QMainWindow>
#include <QPainter>
#include <QPainterPath>
#include <QToolBar>

namespace {

// Edit toolbar: the button's name (also its tooltip, except for undo, which has none), freedesktop icon, own
// icon, and the glyph drawn when neither exists; no name marks a separator.
struct ToolButton {
    const char* name;
    const char* themed;
    const char* own;
    const char* glyph;
};
const ToolButton Toolbar2Buttons[33] = {
    {"Load from file", "document-open", "open", ""},
    {"Save to file", "document-save", "save", ""},
    {nullptr, nullptr, nullptr, nullptr},
    {"Undo", "edit-undo", "", "\u21b6"},
    {nullptr, nullptr, nullptr, nullptr},
    {"Bold", "format-text-bold", "", "B"},
    {"Italic", "format-text-italic", "", "I"},
    {"Underline", "format-text-underline", "", "U"},
    {"Bullet", "format-list-unordered", "", "\u2022"},
    {nullptr, nullptr, nullptr, nullptr},
    {"Change font color", "format-text-color", "text-color", ""},
    {"Select font", "preferences-desktop-font", "text-font", ""},
    {nullptr, nullptr, nullptr, nullptr},
    {"Left alignment", "format-justify-left", "", "\u2261"},
    {"Center alignment", "format-justify-center", "", "\u2263"},
    {"Right alignment", "format-justify-right", "", "\u2262"},
    {nullptr, nullptr, nullptr, nullptr},
    {"Cut", "edit-cut", "", "\u2702"},
    {"Copy", "edit-copy", "copy", ""},
    {"Paste", "edit-paste", "clipboard", ""},
    {nullptr, nullptr, nullptr, nullptr},
    {"Grayscale", "", "effect-grayscale", ""},
    {"Invert colors", "", "effect-invert", ""},
    {"Soften", "", "effect-soften", ""},
    {"Sharpen", "", "effect-sharpen", ""},
    {"Diffuse", "", "effect-diffuse", ""},
    {"Emboss", "", "effect-emboss", ""},
    {"Solarize", "", "effect-solarize", ""},
    {"Lighten", "", "effect-lighten", ""},
    {nullptr, nullptr, nullptr, nullptr},
    {"Balance colors", "", "effect-colorbalance", ""},
    {"Brightness", "", "effect-brightness", ""},
    {nullptr, nullptr, nullptr, nullptr},
};
constexpr int UndoButton = 4;

// The glyph in the button text's colour inside a halo of the opposite lightness, so that it reads on light and
// dark toolbars alike.
QIcon glyphIcon(const QString& glyph) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = QApplication::font();
    font.setPixelSize(22);
    font.setBold(true);
    QPainterPath path;
    path.addText(0, 0, font, glyph);
    const QRectF bounds = path.boundingRect();
    path.translate(QRectF(pixmap.rect()).center() - bounds.center());
    const QColor ink = QApplication::palette().color(QPalette::ButtonText);
    QColor halo = ink.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
    halo.setAlpha(200);
    painter.strokePath(path, QPen(halo, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, ink);
    painter.end();
    return QIcon(pixmap);
}

QIcon buttonIcon(const ToolButton& button) {
    if (*button.themed && QIcon::hasThemeIcon(QString::fromLatin1(button.themed)))
        return QIcon::fromTheme(QString::fromLatin1(button.themed));
    if (*button.own)
        return ownIcon(QString::fromLatin1(button.own));
    return glyphIcon(QString::fromUtf8(button.glyph));
}

// Screen readers name a tool button by its text, which an icon-only button of the edit toolbar does not show.
void nameButton(QToolBar* bar, QAction* action, const QString& name) {
    if (QWidget* button = bar->widgetForAction(action))
        button->setAccessibleName(name);
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
        if (button.caption)
            nameButton(bars.toolbar, action, QString::fromLatin1(button.caption));
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
        const QString name = QString::fromUtf8(button.name);
        QAction* action = button.name ? bars.toolbar2->addAction(sharedIcon("toolbar2/" + QByteArray::number(i),
                                                                            [&button] { return buttonIcon(button); }),
                                                                 i == UndoButton ? QString() : name)
                                      : bars.toolbar2->addSeparator();
        action->setObjectName(QStringLiteral("toolbar2(%1)").arg(i));
        action->setToolTip(i == UndoButton ? QString() : name);
        if (button.name)
            nameButton(bars.toolbar2, action, name);
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
