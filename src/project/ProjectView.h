#pragma once

#include <QString>

class QWidget;

// What the project commands need of the window that shows the project: its status line, its title and
// last-window caption, the recent-project entries, the quick-slot and default-project buttons, the rows'
// focus, and the unsaved-changes flag. The main window implements it; the commands know nothing else of it.
class ProjectView {
public:
    virtual ~ProjectView() = default;

    // The window that owns the commands' dialogs, and whose showing and hiding they follow.
    virtual QWidget* viewWidget() = 0;
    virtual bool programExiting() const = 0;

    virtual void ShowAtStatus(const QString& text) = 0;
    virtual void setProjectTitle(const QString& title) = 0;
    virtual void setLastWindowCaption(const QString& caption) = 0;
    // Recent entry i (1..10): its caption and whether it can be chosen; the menu as a whole.
    virtual void setRecentEntry(int i, const QString& caption, bool enabled) = 0;
    virtual void setRecentMenuEnabled(bool enabled) = 0;
    // Quick slot 1..8: usable or not; the tooltip changes only for a usable slot.
    virtual void setQuickSlot(int slot, bool usable, const QString& tooltip) = 0;
    virtual void setDefaultProjectTip(const QString& tip) = 0;

    // Empties every row and puts the focus into row 1.
    virtual void CleanUp() = 0;
    virtual void focusFirstRow() = 0;
    // Dialogs over the window: it lets them come first while they are open.
    virtual void dropTopMost() = 0;
    virtual void restoreTopMost() = 0;

    // Unsaved changes in the rows since the last load or save.
    virtual bool changed() const = 0;
    virtual void setChanged(bool changed) = 0;
};
