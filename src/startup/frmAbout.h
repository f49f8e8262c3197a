#pragma once

#include <QDialog>

// The about box: program name, version and how to reach the authors.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    static const QString SupportAddress;
    static const QString Website;
};
