#include "project/frmZolProjects.h"

#include "services/FileDialogs.h"
#include "services/Messages.h"

#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

frmZolProjects::frmZolProjects(const std::array<QString, 9>& slots, const QString& projectPath, QWidget* parent)
    : QDialog(parent), m_projectPath(projectPath) {
    setObjectName(QStringLiteral("frmZolProjects"));
    setWindowTitle(QStringLiteral("ZolProjects Configuration"));
    auto* grid = new QGridLayout(this);
    txtZolProject.fill(nullptr, 9);
    cmdBrowse.fill(nullptr, 9);
    for (int i = 1; i <= 8; ++i) {
        grid->addWidget(new QLabel(QStringLiteral("Slot %1 (Ctrl+F%1):").arg(i), this), i - 1, 0);
        auto* edit = new QLineEdit(slots[size_t(i)], this);
        edit->setObjectName(QStringLiteral("txtZolProject(%1)").arg(i));
        edit->setMinimumWidth(320);
        edit->installEventFilter(this);
        grid->addWidget(edit, i - 1, 1);
        txtZolProject[i] = edit;
        auto* browseButton = new QPushButton(QStringLiteral("..."), this);
        browseButton->setObjectName(QStringLiteral("cmdBrowse(%1)").arg(i));
        browseButton->setAutoDefault(false);
        connect(browseButton, &QPushButton::clicked, this, [this, i] { browse(i); });
        grid->addWidget(browseButton, i - 1, 2);
        cmdBrowse[i] = browseButton;
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 8, 0, 1, 3);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject); // Esc rejects too
}

std::array<QString, 9> frmZolProjects::slots() const {
    std::array<QString, 9> result;
    for (int i = 1; i <= 8; ++i)
        result[size_t(i)] = txtZolProject[i]->text();
    return result;
}

void frmZolProjects::browse(int i) {
    while (true) {
        const QString chosen = FileDialogs::getOpenFileName(this, QStringLiteral("Select Zolpane Project"),
                                                            m_projectPath, QStringLiteral("Zolpane Projects (*.zp)"));
        if (chosen.isEmpty())
            return;
        if (QFileInfo::exists(chosen)) {
            txtZolProject[i]->setText(chosen);
            txtZolProject[i]->setFocus();
            txtZolProject[i]->end(false);
            return;
        }
        Messages::ShowMessage(QStringLiteral("The specified file does not exist."), MessageKind::Warning);
    }
}

bool frmZolProjects::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}
