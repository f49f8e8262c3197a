#pragma once

#include <QWizard>

// The quick-start introduction: four pages shown once on the first run and from the Help menu.
class frmWizard final : public QWizard {
    Q_OBJECT
public:
    explicit frmWizard(QWidget* parent = nullptr);
};
