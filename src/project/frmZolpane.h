#pragma once

#include "project/ClipTable.h"
#include "project/EditorHandOver.h"
#include "project/MainMenus.h"
#include "project/ProjectView.h"

#include <QMainWindow>
#include <QVector>

class ClipRowGrid;
class QCheckBox;
class QLabel;
class QTimer;
class Settings;
class WindowSystem;
class isButton;

// The main window: the 30 clip rows in two columns, the project and option buttons, the menu bar, the
// status line and the last-window label. Its controls are its own; other features reach it through the named
// operations below and its signals, which the composition root connects.
class frmZolpane final : public QMainWindow, public ProjectView {
    Q_OBJECT
public:
    frmZolpane(ClipTable& table, Settings& settings, WindowSystem& windows, EditorHandOver& handOver,
               QWidget* parent = nullptr);
    ~frmZolpane() override;

    // Status line: the message panel shows text until 1500 ms after the last message, then "Ready".
    void ShowAtStatus(const QString& text) override;
    QString statusText() const;
    // Keeps the message shown now until the next one (no return to "Ready").
    void holdStatus();
    // The number label of clip n in bold, the others plain.
    void markLastClip(int n);

    void CleanUp() override;
    void focusFirstRow() override;
    // The row of clip i takes the focus (back from the clip editor).
    void focusRow(int i);
    // The editor's result back into clip i.
    void Update(int index);
    void DisableButtons();
    void EnableButtons();

    // Always-on-top state of the window and its two pin buttons; writeSetting as the buttons do.
    void setAlwaysOnTop(bool on, bool writeSetting);
    bool isAlwaysOnTop() const { return m_alwaysOnTop; }
    // Drops the top-most state without touching the setting (dialogs that open over the window).
    void dropTopMost() override;
    void restoreTopMost() override;
    // The copy-option check marks of the Options menu follow the settings' copy options again.
    void showCopyOptions();
    void setHelpAvailable(bool available);

    // Opens the clip editor hand-over for clip i and announces it; only while an editor is connected.
    void openEditor(int index);
    void setEditorAvailable(bool available);

    // Hiding instead of closing; the real unload happens only while the program exits.
    void setProgramExiting(bool exiting) { m_programExiting = exiting; }
    bool programExiting() const override { return m_programExiting; }

    // The row that has (or last had) the focus, 31 for the move-mode box.
    int currentClip() const;

    // What the project commands see of the window.
    QWidget* viewWidget() override { return this; }
    void setProjectTitle(const QString& title) override;
    void setLastWindowCaption(const QString& caption) override;
    void setRecentEntry(int i, const QString& caption, bool enabled) override;
    void setRecentMenuEnabled(bool enabled) override;
    void setQuickSlot(int slot, bool usable, const QString& tooltip) override;
    void setDefaultProjectTip(const QString& tip) override;
    bool changed() const override { return m_changed; }
    // The rows and the status bar are built before the window is first shown (see ClipRowGrid::build()).
    void setVisible(bool visible) override;
    void setChanged(bool changed) override { m_changed = changed; }

Q_SIGNALS:
    void copyRequested(int index);
    void editRequested(int index);
    void propertiesRequested(int index);
    void quickSlotRequested(int slot);
    void loadDefaultProjectRequested();
    void saveProjectRequested();
    void loadProjectRequested();
    void pasteNextRequested(bool upwards);
    // A menu command for the composition root (project commands, settings, help, exit).
    void menuCommand(MainMenus::Command command);
    void recentProjectRequested(int i);
    void clipboardCommandRequested(const QString& menuName);
    // Alt+F4 in a row: the program exits.
    void exitRequested();
    // The window unloads while the program exits: recent list, position and unsaved changes are handled.
    void unloading();
    // The window was activated while the editor is open (the clip editor connects it and comes to the front).
    void activatedWhileEditorOpen();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildButtons();

    ClipTable& m_table;
    Settings& m_settings;
    WindowSystem& m_windows;
    EditorHandOver& m_handOver;
    MainMenus* m_menus = nullptr;
    ClipRowGrid* m_rows = nullptr;
    QLabel* m_statusPanel = nullptr;
    bool m_statusBarBuilt = false;
    bool m_alwaysOnTop = false;
    bool m_programExiting = false;
    bool m_editorAvailable = false;
    bool m_changed = false;

    QVector<isButton*> icmdZolProject; // 0..7, button k opens slot k + 1
    QCheckBox* chckMove = nullptr;
    QLabel* lblWindow = nullptr;
    QTimer* tmrRestore = nullptr;
    isButton* icmdSave = nullptr;
    isButton* icmdLoad = nullptr;
    isButton* icmdDefaultProject = nullptr;
    isButton* icmdAlwaysOnTopON = nullptr;
    isButton* icmdAlwaysOnTopOFF = nullptr;
    isButton* icmdPasteNextUp = nullptr;
    isButton* icmdPasteNextDown = nullptr;
};
