#pragma once

#include <QDialog>

// The about box: program name, version, how to reach the authors, and the licence.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    static const QString SupportAddress;
    static const QString Website;
    // The text of the licence, GPL-3.0-or-later (also LICENSE in the sources).
    static const QString LicenceUrl;
};
