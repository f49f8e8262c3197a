#pragma once

#include <QDialog>
#include <QVector>

#include <array>

class QLineEdit;
class QPushButton;

// The quick-slot dialog: eight project paths with browse buttons.
class frmZolProjects final : public QDialog {
    Q_OBJECT
public:
    frmZolProjects(const std::array<QString, 9>& slots, const QString& projectPath, QWidget* parent = nullptr);

    std::array<QString, 9> slots() const;

    QVector<QLineEdit*> txtZolProject; // 1..8
    QVector<QPushButton*> cmdBrowse;   // 1..8
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void browse(int i);
    QString m_projectPath;
};
