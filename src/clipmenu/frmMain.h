#pragma once

#include "clipmenu/ClipboardTextCommands.h"

#include <QImage>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>

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
    QSystemTrayIcon* trayIcon() const { return m_tray; }

    // Rebuilds the clip entries of the clip submenu from the rows.
    void BuildClipMenu();
    // The tray menu at the mouse position (tray right click, and the clipboard-menu hotkey).
    void ShowTrayMenu();
    // The clip submenu alone at the mouse position.
    void ShowPasteMenu();
    void CleanClipboard();
    void setRunAtStartupChecked(bool checked);

    // The caption of a clip entry: "(" + i + ") &" + the first 30 characters of the row text.
    static QString clipEntryCaption(int i, const QString& rowText);

    QMenu* mnuMotherZolpane = nullptr;
    QMenu* mnuClipFromZolpane = nullptr;
    QAction* mnuZolpaner = nullptr;
    QAction* mnuHideZP = nullptr;
    QAction* mnuRunStartup = nullptr;
    QAction* mnuSettings = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuCleanClipboard = nullptr;
    QTimer* tmrExit = nullptr;
    // Up to 41 screen font names, in the screen's font order; the clip editor's font box takes its names from
    // here. Read when first asked for: listing the font families takes a noticeable part of a start-up that
    // shows nothing of them.
    const QStringList& fontlist();
    std::array<QAction*, 31> ClipMenuItem{}; // 1..30, nullptr = none

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
    void popUpAtCursor(QMenu* menu);
    void holdInputWhileOpen(QMenu* menu);
    void reopenAfterLateDeactivation(QMenu* menu, QPoint at);

    ClipTable& m_table;
    ClipboardTextCommands& m_text;
    QSystemTrayIcon* m_tray = nullptr;
    QStringList m_fontlist;
    bool m_fontlistRead = false;
};
