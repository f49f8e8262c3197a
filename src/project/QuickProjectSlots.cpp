#include "project/QuickProjectSlots.h"

#include "project/ProjectLifecycle.h"
#include "project/ProjectView.h"
#include "project/RecentProjects.h"
#include "project/frmZolProjects.h"
#include "services/SafeFiles.h"
#include "services/Settings.h"

namespace {

const QString Section = QStringLiteral("ZolProjects");

QString slotKey(int slot) {
    return QStringLiteral("ZolProject%1").arg(slot);
}

bool usable(const QString& path) {
    return !path.isEmpty() && SafeFiles::FileExists(path);
}

} // namespace

void QuickProjectSlots::LoadQuickSlots() {
    for (int i = 1; i <= 8; ++i) {
        const QString path = m_settings.ReadSetting(Section, slotKey(i));
        QuickSlots[size_t(i)] = SafeFiles::FileExists(path) ? path : QString();
    }
}

void QuickProjectSlots::SaveQuickSlots() {
    for (int i = 1; i <= 8; ++i)
        if (usable(QuickSlots[size_t(i)]))
            m_settings.WriteSetting(Section, slotKey(i), QuickSlots[size_t(i)]);
}

void QuickProjectSlots::RefreshQuickSlotButtons() {
    for (int i = 1; i <= 8; ++i) {
        const QString& path = QuickSlots[size_t(i)];
        const bool isUsable = usable(path);
        m_view.setQuickSlot(i, isUsable, isUsable ? RecentProjects::ShortCaption(path) : QString());
    }
}

void QuickProjectSlots::OpenQuickSlot(int slot) {
    if (slot < 1 || slot > 8)
        return;
    const QString path = QuickSlots[size_t(slot)];
    if (usable(path) && !m_project.isOpen(path))
        m_project.openProject(path);
}

void QuickProjectSlots::showQuickSlotDialog() {
    // One dialog: a second request brings the open one forward, keeping what was entered in it.
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    m_view.dropTopMost();
    auto* dialog = new frmZolProjects(QuickSlots, m_project.ProjectPath, m_view.viewWidget());
    m_dialog = dialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(
        dialog, &frmZolProjects::accepted, &m_project,
        [this, dialog] {
            QuickSlots = dialog->slots();
            SaveQuickSlots();
            RefreshQuickSlotButtons();
        });
    QObject::connect(dialog, &QDialog::finished, &m_project, [this] { m_view.restoreTopMost(); });
    dialog->show();
}
