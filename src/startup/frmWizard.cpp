#include "startup/frmWizard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QWizardPage>

namespace {

// A page: its picture (from the program's resources) on the left, the text beside it.
QWizardPage* makePage(const QString& title, const QString& picture, const QString& text) {
    auto* p = new QWizardPage;
    p->setTitle(title);
    auto* layout = new QHBoxLayout(p);
    auto* image = new QLabel(p);
    image->setObjectName(QStringLiteral("imgPage"));
    image->setPixmap(QPixmap(QStringLiteral(":/wizard/") + picture));
    image->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    layout->addWidget(image);
    auto* label = new QLabel(text, p);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    label->setMinimumWidth(280);
    layout->addWidget(label, 1);
    return p;
}

} // namespace

frmWizard::frmWizard(QWidget* parent) : QWizard(parent) {
    setObjectName(QStringLiteral("frmWizard"));
    setWindowTitle(QStringLiteral("Zolpane Quick Overview"));
    addPage(makePage(
        QStringLiteral("The main window"), QStringLiteral("wizard-main.png"),
        QStringLiteral("<p>Zolpane keeps a project of 30 numbered clips and pastes any of them into the application "
                       "you worked in last.</p><p>Type a short text straight into a row. The buttons beside each "
                       "row copy and paste the clip, open it in the clip editor (F3 in the row) and set its paste "
                       "method and hotkey (F4).</p><p>The File menu saves your clips as a project. Closing the "
                       "window only hides it: Ctrl+Alt+H or a click on the tray icon brings it back.</p>")));
    addPage(makePage(
        QStringLiteral("Hotkeys"), QStringLiteral("wizard-hotkeys.png"),
        QStringLiteral("<p>Work in any application and press Ctrl+1 ... Ctrl+0 for clips 1-10, Ctrl+Shift+1 ... 0 "
                       "for clips 11-20 or Ctrl+Alt+1 ... 0 for clips 21-30. When you let go of the keys, Zolpane "
                       "brings back the window you worked in and pastes the clip there. Ctrl+Q pastes the next "
                       "clip.</p><p>A clip's hotkey and paste method are set in its properties (F4 in its row, "
                       "shown here); the other hotkeys in Options &rarr; Settings.</p>")));
    addPage(makePage(
        QStringLiteral("The tray"), QStringLiteral("wizard-tray.png"),
        QStringLiteral("<p>Zolpane lives in the tray. A left click on its icon shows the main window; a right click "
                       "opens its menu, which Ctrl+Alt+G also opens wherever you are.</p><p>The menu rewrites the "
                       "text on the clipboard (case, sentences, reversal, diacritics), puts the date or time there "
                       "and pastes any clip (Copy To Clipboard &rarr; Clip from Zolpane). Ctrl+Alt+C opens the "
                       "list of clips alone. Exit ends Zolpane.</p>")));
    addPage(makePage(
        QStringLiteral("The clip editor"), QStringLiteral("wizard-editor.png"),
        QStringLiteral("<p>The pencil button of a row, or F3, opens the clip in the editor. A clip is plain text, "
                       "rich text (bold, colours, fonts, alignment) or a picture, which you can load from a file, "
                       "paste, and change with effects such as grey scale or emboss.</p><p>F1 takes the clip back "
                       "into its row, F2 cancels.</p><p>Help &rarr; Help opens the user guide with all the "
                       "details.</p>")));
}
