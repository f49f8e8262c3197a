#pragma once

#include "project/ProjectPart.h"

#include <QDialog>
#include <QPointer>
#include <QString>

#include <array>

// The eight quick slots: a project file each, kept in the settings, shown as buttons, opened with one click and
// chosen in their dialog.
class QuickProjectSlots final : public ProjectPart {
public:
    using ProjectPart::ProjectPart;

    std::array<QString, 9> QuickSlots; // 1..8
    void LoadQuickSlots();
    void SaveQuickSlots();
    void RefreshQuickSlotButtons();
    void OpenQuickSlot(int slot);
    void showQuickSlotDialog();

private:
    QPointer<QDialog> m_dialog;
};
