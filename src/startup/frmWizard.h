#pragma once

#include <QWizard>

// The quick-start introduction shown once on the first run and from the Help menu: four pages (the main window,
// the hotkeys, the tray and the clip editor), each with a picture of what it describes.
class frmWizard final : public QWizard {
    Q_OBJECT
public:
    explicit frmWizard(QWidget* parent = nullptr);
};
