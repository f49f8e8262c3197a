#pragma once

#include "project/ClipTable.h"
#include "project/EditorHandOver.h"

#include <QMainWindow>
#include <QVector>

class ClipRowEdit;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QTimer;
class Settings;
class WindowSystem;
class isButton;

// The main window: the 30 clip rows in two columns, the project and option buttons, the menu bar, the
// status line and the last-window label. Commands that belong to other features are announced as signals;
// the composition root connects them.
class frmZolpane final : public QMainWindow {
    Q_OBJECT
public:
    frmZolpane(ClipTable& table, Settings& settings, WindowSystem& windows, EditorHandOver& handOver,
               QWidget* parent = nullptr);
    ~frmZolpane() override;

    // Status line: the message panel shows text until 1500 ms after the last message, then "Ready".
    void ShowAtStatus(const QString& text);
    QString statusText() const;
    // Keeps the message shown now until the next one (no return to "Ready").
    void holdStatus();
    // The number label of clip n in bold, the others plain.
    void markLastClip(int n);

    void PlaceEmptyStrings() { m_table.PlaceEmptyStrings(); }
    void CleanUp();
    void Update(int index);
    void DisableButtons();
    void EnableButtons();
    // The row-1 click behaviour: row 1 takes the focus with its whole text selected, placeholder cleared.
    void focusFirstRow();

    // Always-on-top state of the window and its two buttons; setAlwaysOnTop(true/false, write) as the
    // buttons do, applyAlwaysOnTop for the start-up setting.
    void setAlwaysOnTop(bool on, bool writeSetting);
    bool isAlwaysOnTop() const { return m_alwaysOnTop; }
    // The copy-option check marks of the Options menu follow the settings' copy options again.
    void showCopyOptions();
    // Drops the top-most state without touching the setting (dialogs that open over the window).
    void dropTopMost();
    void restoreTopMost();

    // Opens the clip editor hand-over for clip i and announces it; only while an editor is connected.
    void openEditor(int index);
    void setEditorAvailable(bool available);
    bool editorAvailable() const { return m_editorAvailable; }

    // Hiding instead of closing; the real unload happens only while the program exits.
    void setProgramExiting(bool exiting) { m_programExiting = exiting; }
    bool programExiting() const { return m_programExiting; }

    ClipTable& table() { return m_table; }
    ClipRowEdit* row(int i) const { return txtPaste.value(i); }

    int CurrentClip = 1;
    bool SkipSelectAll = false;
    bool Changed = false;

    // Row controls, indexed 1..30 (index 0 unused).
    QVector<ClipRowEdit*> txtPaste;
    QVector<QLabel*> lblPanel;
    QVector<isButton*> icmdCopy;
    QVector<isButton*> icmdConf;
    QVector<isButton*> icmdProperties;
    QVector<isButton*> icmdZolProject; // 0..7, button k opens slot k + 1

    QCheckBox* chckMove = nullptr;
    QLabel* lblWindow = nullptr;
    QTimer* tmrRestore = nullptr;
    QTimer* tmrProject = nullptr;
    isButton* icmdSave = nullptr;
    isButton* icmdLoad = nullptr;
    isButton* icmdDefaultProject = nullptr;
    isButton* icmdAlwaysOnTopON = nullptr;
    isButton* icmdAlwaysOnTopOFF = nullptr;
    isButton* icmdPasteNextUp = nullptr;
    isButton* icmdPasteNextDown = nullptr;

    // Menu bar.
    QMenu* mnuFile = nullptr;
    QMenu* mnuOptions = nullptr;
    QMenu* mnuClipboard = nullptr;
    QMenu* mnuHelp = nullptr;
    QMenu* mnuRecentProjects = nullptr;
    QMenu* mnuCaseConversion = nullptr;
    QMenu* mnuCopyToClipboard = nullptr;
    QAction* mnuNewProject = nullptr;
    QAction* mnuLoadProject = nullptr;
    QAction* mnuSaveProject = nullptr;
    QAction* mnuSaveAs = nullptr;
    QVector<QAction*> mnuRProject; // 1..10
    QAction* mnuExportHotkeyOverview = nullptr;
    QAction* mnuDeleteProject = nullptr;
    QAction* mnuMakeDefault = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuSettings = nullptr;
    QAction* mnuZolProjects = nullptr;
    QAction* mnuMinimizeOnCopy = nullptr;
    QAction* mnuHideOnCopy = nullptr;
    QAction* mnuAutoPaste = nullptr;
    QAction* mnuToLowerCase = nullptr;
    QAction* mnuToUpperCase = nullptr;
    QAction* mnuProperCase = nullptr;
    QAction* mnuReverseCase = nullptr;
    QAction* mnuSentences = nullptr;
    QAction* mnuZigZagCase = nullptr;
    QAction* mnuCopyDate = nullptr;
    QAction* mnuCopyTime = nullptr;
    QAction* mnuRemoveDiacritics = nullptr;
    QAction* mnuReverse = nullptr;
    QAction* mnuCleanClipboard = nullptr;
    QAction* mnuHelpZP = nullptr;
    QAction* mnuQuickWizard = nullptr;
    QAction* mnuWebsite = nullptr;
    QAction* mnuTechSupport = nullptr;
    QAction* mnuAbout = nullptr;

Q_SIGNALS:
    void copyRequested(int index);
    void editRequested(int index);
    void propertiesRequested(int index);
    void quickSlotRequested(int slot);
    void loadDefaultProjectRequested();
    void saveProjectRequested();
    void loadProjectRequested();
    void pasteNextRequested(bool upwards);
    // Alt+F4 in a row: the program exits.
    void exitRequested();
    // The window unloads while the program exits: recent list, position and unsaved changes are handled.
    void unloading();
    // The window was activated while the editor is open.
    void activatedWhileEditorOpen();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadFormControls();
    void buildMenus();
    void buildButtons();
    void showClip(int i);
    void rowGotFocus(int i);
    void rowLostFocus(int i);
    void rowClicked(int i);
    void rowTextEdited(int i, const QString& text);
    void rowKeyDown(int i, int keyCode, int shift);
    void rowDropped(int source, int target);
    void setMoveMode(bool on);
    void hideWindow();
    int px(int twips, bool vertical) const;

    ClipTable& m_table;
    Settings& m_settings;
    WindowSystem& m_windows;
    EditorHandOver& m_handOver;
    QLabel* m_statusPanel = nullptr;
    bool m_alwaysOnTop = false;
    bool m_programExiting = false;
    bool m_updatingRow = false;
    bool m_editorAvailable = false;
};
