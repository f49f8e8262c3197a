#include "startup/frmWizard.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWizardPage>

namespace {

QWizardPage* makePage(const QString& title, const QString& text) {
    auto* p = new QWizardPage;
    p->setTitle(title);
    auto* layout = new QVBoxLayout(p);
    auto* label = new QLabel(text, p);
    label->setWordWrap(true);
    layout->addWidget(label);
    return p;
}

} // namespace

frmWizard::frmWizard(QWidget* parent) : QWizard(parent) {
    setObjectName(QStringLiteral("frmWizard"));
    setWindowTitle(QStringLiteral("Zolpane Quick Overview"));
    addPage(
        makePage(QStringLiteral("Welcome to Zolpane"),
                 QStringLiteral("Zolpane keeps a project of 30 clips and pastes any of them into the application "
                                "you worked in last. It lives in the tray; the main window opens with Ctrl+Alt+H.")));
    addPage(makePage(QStringLiteral("Your clips"),
                     QStringLiteral("Type a short text straight into a row. The buttons beside each row copy the clip, "
                                    "open it in the editor and set how it is pasted and its hotkey.")));
    addPage(makePage(QStringLiteral("Pasting"),
                     QStringLiteral("Press Ctrl+1 ... Ctrl+0 for clips 1-10, Ctrl+Shift+1 ... for 11-20 and "
                                    "Ctrl+Alt+1 ... for 21-30 in any application. Ctrl+Q pastes the next clip, "
                                    "Ctrl+Alt+C opens the clip menu and Ctrl+Alt+G the clipboard menu.")));
    addPage(makePage(QStringLiteral("Projects"),
                     QStringLiteral("Save your clips as .zp projects. The default project opens at start; eight quick "
                                    "slots (Ctrl+F1 ... Ctrl+F8 in a row) switch between projects you use often.")));
}
