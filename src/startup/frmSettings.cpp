#include "startup/frmSettings.h"
#include "widgets/FormControls.h"

#include "paste/HotkeyPicker.h"
#include "paste/Hotkeys.h"
#include "paste/PasteMethod.h"
#include "platform/KeyCodes.h"
#include "project/ClipTable.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "startup/Autostart.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>
#include <initializer_list>

namespace {

const char* const General = "General";
const char* const Zolpane = "Zolpane";
const char* const HotkeysSection = "Hotkeys";

QString indexed(const char* name, int i) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

QLabel* noteLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QRadioButton* option(const char* name, const QString& caption, QWidget* parent, QLayout* layout) {
    return addNamedControl<QRadioButton>(name, caption, parent, layout);
}

QCheckBox* check(const char* name, const QString& caption, QWidget* parent, QLayout* layout) {
    return addNamedControl<QCheckBox>(name, caption, parent, layout);
}

// Option buttons of a frame may all be off (a stored value none of them stands for), which auto-exclusive
// buttons do not allow while they stay exclusive.
void selectOnly(std::initializer_list<QRadioButton*> group, QRadioButton* chosen) {
    for (QRadioButton* b : group) {
        b->setAutoExclusive(false);
        b->setChecked(b == chosen);
        b->setAutoExclusive(true);
    }
}

} // namespace

frmSettings::frmSettings(SettingsDialogContext context, QWidget* parent) : QDialog(parent), m_ctx(std::move(context)) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Zolpane Settings"));

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    struct TabPage {
        const char* caption;
        const char* key;
        const char* tip;
        QWidget* frame;
    };
    const TabPage pages[] = {
        {"&General", "general", "General settings", buildGeneralTab()},
        {"&Pasting", "pasting", "Pasting methods", buildPastingTab()},
        {"Clipboard &Menu", "formatting", "Settings relative to clipboard menu functions ", buildFormattingTab()},
        {"&Hotkeys", "hotkeys", "Configure global hotkeys", buildHotkeysTab()},
    };
    for (const TabPage& t : pages) {
        const int i = tabs->addTab(t.frame, QString::fromLatin1(t.caption));
        tabs->setTabToolTip(i, QString::fromLatin1(t.tip));
        tabs->tabBar()->setTabData(i, QString::fromLatin1(t.key));
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdApply = new QPushButton(QStringLiteral("&Apply"), this);
    cmdApply->setObjectName(QStringLiteral("cmdApply"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdApply);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmSettings::okClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSettings::cancelClicked);
    connect(cmdApply, &QPushButton::clicked, this, &frmSettings::WriteSettings);
    connect(cmdMassSet, &QPushButton::clicked, this, &frmSettings::massSetClicked);
    connect(tabs, &QTabWidget::currentChanged, this, &frmSettings::tabChanged);

    // Qt's fonts cover every script, so the charset leaves this dialog's own controls as they are.
    tabs->setCurrentIndex(0);
    tabChanged(0);
    InitializeHotkeysConfig();
    m_reload = true;
}

QWidget* frmSettings::buildGeneralTab() {
    fraGeneral = new QGroupBox(QStringLiteral("General settings"));
    fraGeneral->setObjectName(QStringLiteral("fraGeneral"));
    auto* v = new QVBoxLayout(fraGeneral);
    chkOpenMainWindow =
        check("chkOpenMainWindow", QStringLiteral("Open Zolpane main window at startup"), fraGeneral, v);
    chckRunStartup = check("chckRunStartup", QStringLiteral("&Run Zolpane automatically at login"), fraGeneral, v);
    v->addWidget(noteLabel(QStringLiteral("Please note: Zolpane window won't appear when Zolpane starts at system "
                                          "startup, it will be launched minimized."),
                           fraGeneral));

    auto* deleting = new QGroupBox(QStringLiteral("When &deleting clip with Delete key"), fraGeneral);
    deleting->setObjectName(QStringLiteral("fraDeleting"));
    auto* dv = new QVBoxLayout(deleting);
    optAskWhenDeletingClip =
        option("optAskWhenDeletingClip", QStringLiteral("Ask user if clip should &be deleted"), deleting, dv);
    optDontAskDeletingClip = option("optDontAskDeletingClip", QStringLiteral("Don't ask &user"), deleting, dv);
    v->addWidget(deleting);

    auto* exiting = new QGroupBox(QStringLiteral("When &exiting Zolpane"), fraGeneral);
    exiting->setObjectName(QStringLiteral("fraExiting"));
    auto* ev = new QVBoxLayout(exiting);
    optDontSaveZPP = option("optDontSaveZPP", QStringLiteral("D&on't save project and don't ask"), exiting, ev);
    optAskToSaveZPP = option("optAskToSaveZPP", QStringLiteral("A&sk user if project should be saved"), exiting, ev);
    optAutoSaveZPP = option("optAutoSaveZPP", QStringLiteral("&Auto save project"), exiting, ev);
    v->addWidget(exiting);

    auto* script = new QGroupBox(QStringLiteral("Font Script"), fraGeneral);
    script->setObjectName(QStringLiteral("fraFontScript"));
    auto* sv = new QVBoxLayout(script);
    cmbFontScript = new QComboBox(script);
    cmbFontScript->setObjectName(QStringLiteral("cmbFontScript"));
    cmbFontScript->addItems({QStringLiteral("East European"), QStringLiteral("West (ANSI)"), QStringLiteral("Baltic"),
                             QStringLiteral("Greek"), QStringLiteral("Turkish"), QStringLiteral("User Default"),
                             QStringLiteral("Shiftjis"), QStringLiteral("Chinese"), QStringLiteral("Thai"),
                             QStringLiteral("Russian")});
    sv->addWidget(cmbFontScript);
    sv->addWidget(noteLabel(QStringLiteral("Note: You should restart the program to see the change"), script));
    v->addWidget(script);
    v->addStretch();
    return fraGeneral;
}

QWidget* frmSettings::buildPastingTab() {
    fraPasting = new QGroupBox(QStringLiteral("Pasting"));
    fraPasting->setObjectName(QStringLiteral("fraPasting"));
    auto* v = new QVBoxLayout(fraPasting);
    chkAutopaste = check("chkAutopaste", QStringLiteral("Enable &Autopaste"), fraPasting, v);

    auto* after = new QGroupBox(QStringLiteral("A&fter pasting"), fraPasting);
    after->setObjectName(QStringLiteral("fraAfterPasting"));
    auto* av = new QVBoxLayout(after);
    optZPNothing = option("optZPNothing", QStringLiteral("Do &nothing"), after, av);
    optZPMinimize = option("optZPMinimize", QStringLiteral("&Minimize Zolpane window (if shown)"), after, av);
    optHideZP = option("optHideZP", QStringLiteral("&Hide Zolpane window (if shown)"), after, av);
    v->addWidget(after);

    auto* method = new QGroupBox(QStringLiteral("&Default paste method"), fraPasting);
    method->setObjectName(QStringLiteral("fraPasteMethod"));
    auto* mv = new QVBoxLayout(method);
    optControlV = option("optControlV", QStringLiteral("Send Control + &V"), method, mv);
    optKeyByKey = option("optKeyByKey", QStringLiteral("Send clip &key by key (not recommended)"), method, mv);
    optShiftInsert = option("optShiftInsert", QStringLiteral("Send Shift + &Insert (old way of pasting)"), method, mv);
    cmdMassSet = new QPushButton(QStringLiteral("&Set all clips to default"), method);
    cmdMassSet->setObjectName(QStringLiteral("cmdMassSet"));
    cmdMassSet->setAutoDefault(false);
    mv->addWidget(cmdMassSet);
    mv->addWidget(noteLabel(QStringLiteral("If you set paste method at Clip properties of any clip to different than "
                                           "'Default', these settings won't work for that clip. However, you may "
                                           "override settings of all clips this way."),
                            method));
    v->addWidget(method);
    v->addStretch();
    return fraPasting;
}

QWidget* frmSettings::buildFormattingTab() {
    fraFormatting = new QGroupBox(QStringLiteral("Clipboard menu"));
    fraFormatting->setObjectName(QStringLiteral("fraFormatting"));
    auto* v = new QVBoxLayout(fraFormatting);
    chkAutoPasteOther = check("chkAutoPasteOther", QStringLiteral("&Auto paste also does apply for copy Time, Date..."),
                              fraFormatting, v);
    chkKeepBig = check("chkKeepBig", QStringLiteral("&Keep capital letters big when performing 'Sentence case'"),
                       fraFormatting, v);
    v->addStretch();
    return fraFormatting;
}

QWidget* frmSettings::buildHotkeysTab() {
    fraHotkeys = new QGroupBox(QStringLiteral("Hotkeys"));
    fraHotkeys->setObjectName(QStringLiteral("fraHotkeys"));
    auto* v = new QVBoxLayout(fraHotkeys);
    const char* const captions[HotkeyCount] = {"&Show Zolpane main window", "&Global menu", "&Paste next clip",
                                               "Global &paste menu", "Display &Settings"};
    for (int i = 0; i < HotkeyCount; ++i) {
        auto* box = new QGroupBox(QString::fromLatin1(captions[i]), fraHotkeys);
        box->setObjectName(indexed("fraBox", i));
        auto* picker = new HotkeyPicker(QStringLiteral("(%1)").arg(i), false, box);
        (new QHBoxLayout(box))->addWidget(picker);
        hotkeyPicker[size_t(i)] = picker;
        chkShift[size_t(i)] = picker->chkShift;
        chkAlt[size_t(i)] = picker->chkAlt;
        chkControl[size_t(i)] = picker->chkControl;
        mKey[size_t(i)] = picker->mKey;
        fraBox[size_t(i)] = box;
        v->addWidget(box);
    }
    v->addWidget(noteLabel(QStringLiteral("These hotkeys must be system-wide unique!"), fraHotkeys));
    v->addWidget(noteLabel(QStringLiteral("You may also configure hotkeys for individual clips using Properties "
                                          "(hotkey F4) button at main window."),
                           fraHotkeys));
    v->addStretch();
    return fraHotkeys;
}

int frmSettings::readNumber(const char* section, const char* key) {
    return m_ctx.settings.ReadInt(QLatin1String(section), QLatin1String(key));
}

void frmSettings::write(const char* section, const QString& key, int value) {
    m_ctx.settings.WriteSetting(QLatin1String(section), key, QString::number(value));
}

void frmSettings::GetSettings() {
    chckRunStartup->setChecked(readNumber(General, "RunOnStartup") == 1);

    const double charset = m_ctx.settings.ReadNumber(QStringLiteral("General"), QStringLiteral("Charset"));
    cmbFontScript->setCurrentIndex(charset > 0 && charset <= 10 ? std::max(0, int(std::floor(charset)) - 1) : 0);

    const int exiting = readNumber(Zolpane, "Exiting");
    selectOnly({optDontSaveZPP, optAskToSaveZPP, optAutoSaveZPP}, exiting == 2   ? optAutoSaveZPP
                                                                  : exiting == 1 ? optAskToSaveZPP
                                                                                 : optDontSaveZPP);

    selectOnly({optAskWhenDeletingClip, optDontAskDeletingClip},
               readNumber(Zolpane, "AskDeletingClip") == 1 ? optAskWhenDeletingClip : optDontAskDeletingClip);

    const double method = m_ctx.settings.ReadNumber(QStringLiteral("Zolpane"), QStringLiteral("PasteMethod"));
    selectOnly({optControlV, optKeyByKey, optShiftInsert}, method == PasteMethod::ControlV      ? optControlV
                                                           : method == PasteMethod::KeyByKey    ? optKeyByKey
                                                           : method == PasteMethod::ShiftInsert ? optShiftInsert
                                                                                                : nullptr);

    chkOpenMainWindow->setChecked(readNumber(General, "OpenWindowAtStartup") == 1);
    chkAutopaste->setChecked(readNumber(Zolpane, "AutoPaste") == 1);
    chkKeepBig->setChecked(readNumber(Zolpane, "SentenceCaseKeepBig") == 1);
    chkAutoPasteOther->setChecked(readNumber(Zolpane, "AutoPasteOther") == 1);

    QRadioButton* after = optZPNothing;
    if (readNumber(Zolpane, "MinimizeOnCopy") == 1)
        after = optZPMinimize;
    else if (readNumber(Zolpane, "HideOnCopy") == 1)
        after = optHideZP;
    selectOnly({optZPNothing, optZPMinimize, optHideZP}, after);
}

void frmSettings::InitializeHotkeysConfig() {
    for (HotkeyPicker* picker : hotkeyPicker)
        picker->fillKeyList();
    showStoredHotkeys();
}

// The boxes and key lists from the file. Also run whenever the dialog is shown again, so that a hotkey
// edited and then cancelled does not come back.
void frmSettings::showStoredHotkeys() {
    for (int i = 0; i < HotkeyCount; ++i) {
        const size_t at = size_t(i);
        const QString stem = QLatin1String(Settings::SpecialHotkeyNames[at]);
        const int mod = m_ctx.settings.ReadInt(QStringLiteral("Hotkeys"), stem + QStringLiteral("Mod"));
        constexpr int all = HotkeyModifier::Alt | HotkeyModifier::Control | HotkeyModifier::Shift;
        hotkeyPicker[at]->setModifiers(mod >= 1 && mod <= all ? mod : 0);

        // A stored 0 or a key the list does not offer leaves no entry selected, not even "(none)".
        const double key = m_ctx.settings.ReadNumber(QStringLiteral("Hotkeys"), stem + QStringLiteral("Key"));
        if (key == 0 || !hotkeyPicker[at]->selectKey(key))
            mKey[at]->setCurrentIndex(-1);
        if (m_ctx.desktopBinding)
            hotkeyPicker[at]->showDesktopBinding(m_ctx.desktopBinding(Hotkeys::SpecialIds[at]));
    }
}

int frmSettings::modifierValue(int index) const {
    return hotkeyPicker[size_t(index)]->modifiers();
}

int frmSettings::selectedKey(int index) const {
    // No selection is stored as the "(none)" entry's 0.
    return hotkeyPicker[size_t(index)]->keyCode();
}

void frmSettings::WriteSettings() {
    Settings& s = m_ctx.settings;
    write(General, QStringLiteral("OpenWindowAtStartup"), chkOpenMainWindow->isChecked() ? 1 : 0);

    if (chckRunStartup->isChecked())
        m_ctx.autostart.EnableRunAtStartup();
    else
        m_ctx.autostart.DisableRunAtStartup();

    const int charset = std::max(0, cmbFontScript->currentIndex()) + 1;
    write(General, QStringLiteral("Charset"), charset);
    s.Charset = charset;
    if (m_ctx.applyCharset)
        m_ctx.applyCharset();

    const int exiting = optAutoSaveZPP->isChecked() ? 2 : optAskToSaveZPP->isChecked() ? 1 : 0;
    write(Zolpane, QStringLiteral("Exiting"), exiting);
    s.ExitMode = exiting;

    write(Zolpane, QStringLiteral("AskDeletingClip"), optAskWhenDeletingClip->isChecked() ? 1 : 0);
    s.AskDeletingClip = optAskWhenDeletingClip->isChecked();

    // With no method chosen (the file held another value) the stored one stays.
    const int method = optControlV->isChecked()      ? PasteMethod::ControlV
                       : optKeyByKey->isChecked()    ? PasteMethod::KeyByKey
                       : optShiftInsert->isChecked() ? PasteMethod::ShiftInsert
                                                     : 0;
    if (method != 0) {
        write(Zolpane, QStringLiteral("PasteMethod"), method);
        s.DefaultPasteMethod = method;
    }

    write(Zolpane, QStringLiteral("AutoPaste"), chkAutopaste->isChecked() ? 1 : 0);
    s.AutoPaste = chkAutopaste->isChecked();

    const bool minimize = optZPMinimize->isChecked();
    const bool hide = !minimize && optHideZP->isChecked();
    write(Zolpane, QStringLiteral("MinimizeOnCopy"), minimize ? 1 : 0);
    write(Zolpane, QStringLiteral("HideOnCopy"), hide ? 1 : 0);
    s.MinimizeOnCopy = minimize;
    s.HideOnCopy = hide;
    if (m_ctx.copyOptionsChanged)
        m_ctx.copyOptionsChanged();

    write(Zolpane, QStringLiteral("SentenceCaseKeepBig"), chkKeepBig->isChecked() ? 1 : 0);
    s.SentenceCaseKeepBig = chkKeepBig->isChecked();
    write(Zolpane, QStringLiteral("AutoPasteOther"), chkAutoPasteOther->isChecked() ? 1 : 0);

    for (int i = 0; i < HotkeyCount; ++i) {
        const QString stem = QLatin1String(Settings::SpecialHotkeyNames[size_t(i)]);
        write(HotkeysSection, stem + QStringLiteral("Mod"), modifierValue(i));
        write(HotkeysSection, stem + QStringLiteral("Key"), selectedKey(i));
    }

    if (m_ctx.reRegisterSpecialHotkeys)
        m_ctx.reRegisterSpecialHotkeys();
    else
        s.LoadSpecialHotkeys();
}

void frmSettings::DisableFrames() {
    for (QGroupBox* frame : {fraGeneral, fraPasting, fraFormatting, fraHotkeys})
        frame->setEnabled(false);
}

void frmSettings::tabChanged(int index) {
    DisableFrames();
    const QString key = tabs->tabBar()->tabData(index).toString();
    QGroupBox* frame = key == QLatin1String("general")      ? fraGeneral
                       : key == QLatin1String("pasting")    ? fraPasting
                       : key == QLatin1String("formatting") ? fraFormatting
                       : key == QLatin1String("hotkeys")    ? fraHotkeys
                                                            : nullptr;
    if (!frame)
        return;
    frame->setEnabled(true);
    frame->raise();
}

void frmSettings::showSettings() {
    show();
    raise();
    activateWindow();
}

bool frmSettings::event(QEvent* event) {
    // Showing again discards edits that were never applied.
    if ((event->type() == QEvent::Show || event->type() == QEvent::WindowActivate) && m_reload) {
        m_reload = false;
        GetSettings();
        showStoredHotkeys();
    }
    return QDialog::event(event);
}

void frmSettings::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        m_reload = true;
    QDialog::hideEvent(event);
}

void frmSettings::okClicked() {
    WriteSettings();
    hide();
    m_reload = true;
    if (m_ctx.restoreTopMost)
        m_ctx.restoreTopMost();
}

void frmSettings::cancelClicked() {
    hide();
    m_reload = true;
    if (m_ctx.restoreTopMost)
        m_ctx.restoreTopMost();
}

void frmSettings::reject() {
    cancelClicked();
}

void frmSettings::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    if (Messages::ShowMessage(QStringLiteral("Do you want to save settings?"), MessageKind::Question) == Messages::Yes)
        okClicked();
    else
        cancelClicked();
}

void frmSettings::closeEvent(QCloseEvent* event) {
    if (m_ctx.programExiting && m_ctx.programExiting()) {
        event->accept();
    } else {
        event->ignore();
        cancelClicked();
    }
    m_ctx.settings.SaveCopyOptions();
}

void frmSettings::massSetClicked() {
    // Every clip, empty ones too; the change reaches the project file when the project is saved.
    for (int i = 1; i <= ClipTable::ClipCount; ++i)
        m_ctx.table.ClipMethod[size_t(i)] = PasteMethod::Default;
    Messages::ShowMessage(QStringLiteral("Done. Note: You will have to save your project for permanent effect."),
                          MessageKind::Information);
}
