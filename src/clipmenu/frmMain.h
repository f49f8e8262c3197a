#pragma once

#include "clipmenu/ClipboardTextCommands.h"

#include <QWidget>

#include <array>

class ClipTable;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QTimer;

// The hidden window of the tray: the tray icon, the tray menu (also the global clipboard menu) with its
// clip submenu, and the small commands behind them. Never shown.
class frmMain final : public QWidget {
    Q_OBJECT
public:
    frmMain(ClipTable& table, ClipboardTextCommands& textCommands, QWidget* parent = nullptr);
    ~frmMain() override;

    void AddTrayIcon(const QString& tip);
    void RemoveTrayIcon();

    // Rebuilds the clip entries of the clip submenu from the rows.
    void BuildClipMenu();
    // The tray menu at the mouse position (tray right click, and the clipboard-menu hotkey).
    void ShowTrayMenu();
    // The clip submenu alone at the mouse position; without clips, the error "No clips to paste!" instead.
    void ShowPasteMenu();
    void CleanClipboard();
    void setRunAtStartupChecked(bool checked);

Q_SIGNALS:
    void showMainWindowRequested();
    void hideMainWindowRequested();
    void settingsRequested();
    void toggleRunAtStartupRequested();
    void clipChosen(int clip);
    void exitRequested();
    void statusMessage(const QString& text);

private:
    QMenu* addMenu(QMenu* parent, const char* name, const QString& caption, const char* iconKey = nullptr);
    QAction* addAction(QMenu* parent, const char* name, const QString& caption, const char* iconKey = nullptr);

    ClipTable& m_table;
    ClipboardTextCommands& m_text;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* mnuMotherZolpane = nullptr;
    QMenu* mnuClipFromZolpane = nullptr;
    QAction* mnuRunStartup = nullptr;
    QTimer* tmrExit = nullptr;
    std::array<QAction*, 31> ClipMenuItem{}; // 1..30, nullptr = none
};
