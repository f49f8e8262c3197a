#pragma once

#include "editor/EditorModes.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QVector>

#include <functional>

class ClipTable;
class EditorHandOver;
class EditorTextTools;
class ImageEffects;
class PictureArea;
class PlainTextBox;
class QAction;
class QColor;
class QComboBox;
class QFont;
class QLabel;
class QLineEdit;
class QRadioButton;
class RichTextBox;
class Settings;

// What the clip editor needs from the rest of the program.
struct EditorContext {
    EditorHandOver& handOver;
    const ClipTable& table; // the rows' texts and formats
    Settings& settings;
    ImageEffects& effects;
    QStringList fontlist; // the screen fonts offered by cmbFont
    double twipsX = 15;
    double twipsY = 15;
    std::function<bool()> programExiting;
};

// "Configure Clip to Paste": edits one clip as plain text, rich text or a picture and hands it back. It is made
// when it opens and deletes itself when it closes.
class frmConfPasteBox final : public QMainWindow {
    Q_OBJECT
public:
    // Opens the editor for the clip the hand-over holds (EditClipNumber), modeless.
    static frmConfPasteBox* open(const EditorContext& context, QWidget* parent = nullptr);
    ~frmConfPasteBox() override;

    // Up to 41 screen font names, in the screen's font order, for EditorContext::fontlist. Read when first asked
    // for: listing the font families takes a noticeable part of a start-up that shows nothing of them.
    static const QStringList& fontlist();

    // Test seams for the colour and font dialogs: an invalid colour / no font stands for Cancel.
    static std::function<QColor(const QColor& initial)> chooseColor;
    static std::function<std::optional<QFont>(const QFont& initial)> chooseFont;

    // m_mode's name ("txt", "rtf", "img"), the form the caption rules and tests take; set by ToggleFormat.
    QString EditorMode;

    void BoxHotkey(int keyCode, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void SaveAndClose();
    void DiscardAndClose();
    void ClearClip();
    void RestartRTFbox();
    void LoadFromFile();
    void SaveToFile();

    // Main toolbar button 1..8 and edit toolbar button 1..33 (separators included), as the design counts them.
    QAction* toolbarButton(int index) const { return m_toolbar.value(index); }
    QAction* toolbar2Button(int index) const { return m_toolbar2.value(index); }
    QString panelText(int panel) const;

Q_SIGNALS:
    // The user accepted: the hand-over holds the result for clip `index` (the main window's Update).
    void handedBack(int index);
    // The editor of clip `index` closed (not while the program exits): the main window enables its rows and
    // comes back.
    void closed(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit frmConfPasteBox(const EditorContext& context, QWidget* parent);
    void buildControls();
    void buildToolbars();
    void load();
    void unload();
    // The mode switch: ToggleFormat shows the controls and buttons of a mode; switchMode asks the question of a
    // switch first and moves the text after it.
    void ToggleFormat(EditorModes::Mode mode);
    void switchMode(EditorModes::Mode mode);
    void pressModeButton();
    void onToolbar2(int index);
    void onPlainChanged();
    void onRichChanged();
    void onCustomNameOption(bool custom);
    void RepaintForm();
    void RefreshStatus();
    int twipsToX(double twips) const;
    int twipsToY(double twips) const;

    EditorContext m_context;
    EditorModes::Mode m_mode = EditorModes::Mode::Txt;
    // The clip the editor was opened for. The hand-over's EditClipNumber is shared with the clip properties
    // dialog, which may be opened for another row meanwhile.
    int m_clip = 0;
    bool IsLoading = false;
    bool m_closing = false;
    bool m_handingBack = false;

    QVector<QAction*> m_toolbar;  // 1..8
    QVector<QAction*> m_toolbar2; // 1..33
    PlainTextBox* txtClipTXT = nullptr;
    RichTextBox* txtClipRTF = nullptr;
    QLineEdit* txtDefaultFont = nullptr;
    QComboBox* cmbFont = nullptr;
    QComboBox* cmbSize = nullptr;
    QRadioButton* optNonCusName = nullptr;
    QRadioButton* optCusName = nullptr;
    QLineEdit* txtCustomName = nullptr;
    PictureArea* fraImg = nullptr;
    EditorTextTools* m_text = nullptr;
    QVector<QLabel*> m_panels; // sBar panels 1..4
};
