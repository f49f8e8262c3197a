#pragma once

#include "editor/EditorModes.h"

#include <QObject>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

class PlainTextBox;
class QAction;
class QColor;
class QComboBox;
class QFont;
class QLineEdit;
class QToolBar;
class RichTextBox;

// The editor's text tools: the formatting buttons of the edit toolbar, the colour and font dialogs, the font name
// and size boxes, undo and the text clipboard buttons, and moving the text from one box to the other. Each acts
// on the box of the window's mode and does nothing in picture mode.
class EditorTextTools final : public QObject {
public:
    using ColorChooser = std::function<QColor(const QColor& initial)>;
    using FontChooser = std::function<std::optional<QFont>(const QFont& initial)>;

    // The controls are the window's; mode is the window's mode, read at every call. buttons2 are the edit
    // toolbar's buttons 1..33, the dialogs the window's seams (an invalid colour / no font stands for Cancel).
    struct Controls {
        PlainTextBox& plain;
        RichTextBox& rich;
        const QLineEdit& defaultFont; // txtDefaultFont: the font and colour rich text is reset to
        QComboBox& fontBox;
        QComboBox& sizeBox;
        QVector<QAction*> buttons2;
    };
    EditorTextTools(const EditorModes::Mode& mode, const Controls& controls, const ColorChooser& chooseColor,
                    const FontChooser& chooseFont, QObject* parent);

    // Puts the font name and size boxes into the edit toolbar before the button given, hidden.
    void placeFontBoxes(QToolBar& toolbar2, QAction* before);
    bool fontBoxesShown() const;
    void showFontBoxes(bool shown);
    // Shows the boxes, with the font names appended first when the name box does not hold as many.
    void offerFonts(const QStringList& fontlist);
    // The boxes show the plain box's font.
    void showPlainFont();

    void undo();
    void setBold(bool on);
    void setItalic(bool on);
    void setUnderline(bool on);
    void toggleBullet();
    void setAlignment(Qt::Alignment alignment);
    void chooseTextColor();
    void chooseTextFont();
    void cutCopy(bool cut);
    void paste();

    // The buttons and boxes follow the rich box's selection.
    void showSelectionState();
    // All rich text formatting back to the default font.
    void RestartRTFbox();
    // The name or size box changed.
    void ChangeFont();
    void ChangeSize();
    // Moves the text into the other box (the design's TransBoxes); with showTarget that box is shown and focused.
    void TransBoxes(EditorModes::TextMove move, bool showTarget);

private:
    QColor currentColor() const;

    const EditorModes::Mode& m_mode;
    Controls m_controls;
    const ColorChooser& m_chooseColor;
    const FontChooser& m_chooseFont;
    QAction* m_fontAction = nullptr; // the boxes' places in the toolbar, which show and hide them
    QAction* m_sizeAction = nullptr;
};
