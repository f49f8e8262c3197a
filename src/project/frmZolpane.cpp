#include "project/frmZolpane.h"

#include "platform/KeyCodes.h"
#include "platform/Platform.h"
#include "project/ClipRowEdit.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "widgets/MenuIcons.h"
#include "widgets/isButton.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

namespace {

// Geometry of the template row (row 0, never shown); every row is derived from it.
constexpr int TemplateCopyLeft = 34;
constexpr int TemplateCopyTop = 30;
constexpr int ButtonSize = 20;
constexpr int LabelWidth = 26;
constexpr int TextLeftOffset = 70; // text box starts this far right of the copy button
constexpr int RightColumnOffset = 230;
constexpr int TextWidth = 128;
constexpr int TextHeight = 19;
constexpr int RowGap = 2;
constexpr int RowDropTwips = 45; // label and text box sit this far below the copy button's top
constexpr int WindowHeight = 482;
constexpr int RestoreIntervalMs = 1500;

} // namespace

frmZolpane::frmZolpane(ClipTable& table, Settings& settings, WindowSystem& windows, EditorHandOver& handOver,
                       QWidget* parent)
    : QMainWindow(parent), m_table(table), m_settings(settings), m_windows(windows), m_handOver(handOver) {
    setObjectName(QStringLiteral("frmZolpane"));
    setWindowTitle(QStringLiteral("Zolpane"));
    setWindowIcon(MenuIcons::icon("ZOLPANE"));
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    buildMenus();
    buildButtons();
    LoadFormControls();

    chckMove = new QCheckBox(QStringLiteral("&Move Mode"), central);
    chckMove->setObjectName(QStringLiteral("chckMove"));
    const int bottomTop = TemplateCopyTop + 16 * (ButtonSize + RowGap) + 4;
    chckMove->setGeometry(4, bottomTop, 110, 20);
    chckMove->installEventFilter(this);
    connect(chckMove, &QCheckBox::toggled, this, &frmZolpane::setMoveMode);

    lblWindow = new QLabel(central);
    lblWindow->setObjectName(QStringLiteral("lblWindow"));
    lblWindow->setGeometry(120, bottomTop, RightColumnOffset + TemplateCopyLeft + TextLeftOffset + TextWidth - 120, 20);

    m_statusPanel = new QLabel(this);
    m_statusPanel->setObjectName(QStringLiteral("StatusBarPanel2"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(m_statusPanel, 1);

    tmrRestore = new QTimer(this);
    tmrRestore->setObjectName(QStringLiteral("tmrRestore"));
    tmrRestore->setInterval(RestoreIntervalMs);
    connect(tmrRestore, &QTimer::timeout, this, [this] {
        if (!m_programExiting)
            m_statusPanel->setText(QStringLiteral("Ready"));
        tmrRestore->stop();
    });
    tmrProject = new QTimer(this);
    tmrProject->setObjectName(QStringLiteral("tmrProject"));
    tmrProject->setInterval(250);

    connect(&m_table, &ClipTable::clipChanged, this, &frmZolpane::showClip);

    const int width = RightColumnOffset + TemplateCopyLeft + TextLeftOffset + TextWidth + 8;
    setFixedWidth(width);
    setFixedHeight(WindowHeight);
    m_statusPanel->setText(QStringLiteral("Zolpane"));
}

frmZolpane::~frmZolpane() = default;

int frmZolpane::px(int twips, bool vertical) const {
    const double tpp = vertical ? m_windows.twipsPerPixelY() : m_windows.twipsPerPixelX();
    return int(twips / (tpp > 0 ? tpp : 15));
}

void frmZolpane::LoadFormControls() {
    QWidget* central = centralWidget();
    txtPaste.fill(nullptr, ClipTable::ClipCount + 1);
    lblPanel.fill(nullptr, ClipTable::ClipCount + 1);
    icmdCopy.fill(nullptr, ClipTable::ClipCount + 1);
    icmdConf.fill(nullptr, ClipTable::ClipCount + 1);
    icmdProperties.fill(nullptr, ClipTable::ClipCount + 1);
    QRect copy(TemplateCopyLeft, TemplateCopyTop - (ButtonSize + RowGap), ButtonSize, ButtonSize);
    QRect firstCopy;
    const int drop = px(RowDropTwips, true);
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        m_table.setData(i, QString());
        if (i == 16)
            copy = QRect(firstCopy.left() + RightColumnOffset, firstCopy.top(), ButtonSize, ButtonSize);
        else
            copy.moveTop(copy.top() + copy.height() + RowGap);
        if (i == 1)
            firstCopy = copy;

        auto button = [&](const char* name, const char* iconKey, const QString& tip, int left) {
            auto* b = new isButton(central);
            b->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i));
            b->setIcon(MenuIcons::icon(iconKey));
            b->setToolTipText(tip);
            b->setGeometry(left, copy.top(), ButtonSize, ButtonSize);
            return b;
        };
        icmdCopy[i] = button("icmdCopy", "COPY", QStringLiteral("Copy clip %1").arg(i), copy.left());
        icmdConf[i] = button("icmdConf", "CONFIGURE", QStringLiteral("Configure clip %1").arg(i), copy.right() + 1);
        icmdProperties[i] =
            button("icmdProperties", "PROPERTIES", QStringLiteral("Properties of clip %1").arg(i), copy.right() + 21);

        auto* label = new QLabel(QStringLiteral("%1.").arg(i), central);
        label->setObjectName(QStringLiteral("lblPanel(%1)").arg(i));
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        label->setGeometry(copy.left() - 2 - LabelWidth, copy.top() + drop, LabelWidth, TextHeight);
        lblPanel[i] = label;

        auto* edit = new ClipRowEdit(i, central);
        edit->setGeometry(copy.left() + TextLeftOffset, copy.top() + drop - 2, TextWidth, TextHeight);
        txtPaste[i] = edit;
        m_table.SwitchLock(i, false);
        showClip(i);

        connect(edit, &ClipRowEdit::gotFocus, this, &frmZolpane::rowGotFocus);
        connect(edit, &ClipRowEdit::lostFocus, this, &frmZolpane::rowLostFocus);
        connect(edit, &ClipRowEdit::clicked, this, &frmZolpane::rowClicked);
        connect(edit, &ClipRowEdit::keyDown, this, &frmZolpane::rowKeyDown);
        connect(edit, &ClipRowEdit::rowDropped, this, &frmZolpane::rowDropped);
        connect(edit, &QLineEdit::textChanged, this, [this, i](const QString& text) { rowTextEdited(i, text); });
        connect(icmdCopy[i], &isButton::Click, this, [this, i] { Q_EMIT copyRequested(i); });
        connect(icmdConf[i], &isButton::Click, this, [this, i] { openEditor(i); });
        connect(icmdProperties[i], &isButton::Click, this, [this, i] { Q_EMIT propertiesRequested(i); });
    }
    setEditorAvailable(false);
    // Tab order follows the clip numbers.
    for (int i = 1; i < ClipTable::ClipCount; ++i)
        setTabOrder(txtPaste[i], txtPaste[i + 1]);
}

void frmZolpane::buildButtons() {
    QWidget* central = centralWidget();
    auto make = [central](const char* name, const char* iconKey, int left) {
        auto* b = new isButton(central);
        b->setObjectName(QLatin1String(name));
        b->setIcon(MenuIcons::icon(iconKey));
        b->setGeometry(left, 3, ButtonSize, ButtonSize);
        return b;
    };
    icmdLoad = make("icmdLoad", "OPEN", 4);
    icmdSave = make("icmdSave", "SAVE", 26);
    icmdDefaultProject = make("icmdDefaultProject", "HOME", 48);
    // Button k opens quick slot k + 1.
    icmdZolProject.fill(nullptr, 8);
    for (int k = 0; k < 8; ++k) {
        const int slot = k + 1;
        auto* b = new isButton(central);
        b->setObjectName(QStringLiteral("icmdZolProject(%1)").arg(k));
        b->setIcon(MenuIcons::slotIcon(slot));
        b->setGeometry(84 + k * 22, 3, ButtonSize, ButtonSize);
        icmdZolProject[k] = b;
        connect(b, &isButton::Click, this, [this, slot] { Q_EMIT quickSlotRequested(slot); });
    }
    const int right = RightColumnOffset + TemplateCopyLeft + TextLeftOffset + TextWidth - ButtonSize;
    icmdPasteNextUp = make("icmdPasteNextUp", "UP", right - 66);
    icmdPasteNextDown = make("icmdPasteNextDown", "DOWN", right - 44);
    icmdAlwaysOnTopOFF = make("icmdAlwaysOnTopOFF", "PINOFF", right);
    icmdAlwaysOnTopON = make("icmdAlwaysOnTopON", "PINON", right);
    icmdAlwaysOnTopON->hide();

    icmdSave->setToolTipText(QStringLiteral("Save project"));
    icmdLoad->setToolTipText(QStringLiteral("Load project"));
    icmdAlwaysOnTopOFF->setToolTipText(QStringLiteral("Toggle always on top"));
    icmdAlwaysOnTopON->setToolTipText(QStringLiteral("Toggle always on top"));
    icmdDefaultProject->setToolTipText(QStringLiteral("Load default project"));
    icmdPasteNextDown->setToolTipText(QStringLiteral("Paste next clip (downwards)"));
    icmdPasteNextUp->setToolTipText(QStringLiteral("Paste next clip (upwards)"));

    connect(icmdAlwaysOnTopOFF, &isButton::Click, this, [this] { setAlwaysOnTop(true, true); });
    connect(icmdAlwaysOnTopON, &isButton::Click, this, [this] { setAlwaysOnTop(false, true); });
    connect(icmdSave, &isButton::Click, this, [this] {
        if (CurrentClip == 31)
            CurrentClip = 1;
        Q_EMIT saveProjectRequested();
    });
    connect(icmdLoad, &isButton::Click, this, &frmZolpane::loadProjectRequested);
    connect(icmdDefaultProject, &isButton::Click, this, &frmZolpane::loadDefaultProjectRequested);
    connect(icmdPasteNextUp, &isButton::Click, this, [this] { Q_EMIT pasteNextRequested(true); });
    connect(icmdPasteNextDown, &isButton::Click, this, [this] { Q_EMIT pasteNextRequested(false); });
}

void frmZolpane::buildMenus() {
    auto action = [this](QMenu* menu, const char* name, const QString& caption, const char* iconKey = nullptr) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (iconKey)
            a->setIcon(MenuIcons::icon(iconKey));
        return a;
    };
    QMenuBar* bar = menuBar();
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuNewProject = action(mnuFile, "mnuNewProject", QStringLiteral("&New Project"), "DOCUMENT");
    mnuLoadProject = action(mnuFile, "mnuLoadProject", QStringLiteral("&Load Project"), "OPEN");
    mnuSaveProject = action(mnuFile, "mnuSaveProject", QStringLiteral("&Save Project"), "SAVE");
    mnuSaveAs = action(mnuFile, "mnuSaveAs", QStringLiteral("&Save Project as..."));
    mnuFile->addSeparator();
    mnuRecentProjects = mnuFile->addMenu(QStringLiteral("&Recent Projects"));
    mnuRecentProjects->setObjectName(QStringLiteral("mnuRecentProjects"));
    mnuRProject.fill(nullptr, 11);
    for (int k = 1; k <= 10; ++k) {
        mnuRProject[k] = mnuRecentProjects->addAction(QStringLiteral("(none)"));
        mnuRProject[k]->setObjectName(QStringLiteral("mnuRProject(%1)").arg(k));
    }
    mnuExportHotkeyOverview =
        action(mnuFile, "mnuExportHotkeyOverview", QStringLiteral("&Export Hotkey Overview"), "EXPORTCURRENT");
    mnuFile->addSeparator();
    mnuDeleteProject = action(mnuFile, "mnuDeleteProject", QStringLiteral("&Delete Project"), "DELETE");
    mnuMakeDefault = action(mnuFile, "mnuMakeDefault", QStringLiteral("&Make This Project Default"), "STAR");
    mnuFile->addSeparator();
    mnuClose = action(mnuFile, "mnuClose", QStringLiteral("&Hide Zolpane"), "TRAY");
    mnuExit = action(mnuFile, "mnuExit", QStringLiteral("E&xit Zolpane"), "EXIT");

    mnuOptions = bar->addMenu(QStringLiteral("&Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuSettings = action(mnuOptions, "mnuSettings", QStringLiteral("&Settings"), "WRENCH");
    mnuZolProjects = action(mnuOptions, "mnuZolProjects", QStringLiteral("&ZolProjects Configuration"), "WRENCH");
    mnuOptions->addSeparator();
    mnuMinimizeOnCopy = action(mnuOptions, "mnuMinimizeOnCopy", QStringLiteral("&Minimize On Copy"));
    mnuHideOnCopy = action(mnuOptions, "mnuHideOnCopy", QStringLiteral("&Hide On Copy"));
    mnuAutoPaste = action(mnuOptions, "mnuAutoPaste", QStringLiteral("&Auto Paste In Last Active Aplication"));
    // The check marks show the copy options held by the settings; a click changes them there.
    for (QAction* a : {mnuMinimizeOnCopy, mnuHideOnCopy, mnuAutoPaste})
        a->setCheckable(true);
    connect(mnuMinimizeOnCopy, &QAction::toggled, this, [this](bool on) { m_settings.MinimizeOnCopy = on; });
    connect(mnuHideOnCopy, &QAction::toggled, this, [this](bool on) { m_settings.HideOnCopy = on; });
    connect(mnuAutoPaste, &QAction::toggled, this, [this](bool on) { m_settings.AutoPaste = on; });
    showCopyOptions();

    mnuClipboard = bar->addMenu(QStringLiteral("&Clipboard"));
    mnuClipboard->setObjectName(QStringLiteral("mnuClipboard"));
    mnuCaseConversion = mnuClipboard->addMenu(QStringLiteral("C&ase Conversion"));
    mnuCaseConversion->setObjectName(QStringLiteral("mnuCaseConversion"));
    mnuToLowerCase = action(mnuCaseConversion, "mnuToLowerCase", QStringLiteral("To &Lower Case"));
    mnuToUpperCase = action(mnuCaseConversion, "mnuToUpperCase", QStringLiteral("To &Upper Case"));
    mnuCaseConversion->addSeparator()->setObjectName(QStringLiteral("mnuSeparator5"));
    mnuProperCase = action(mnuCaseConversion, "mnuProperCase", QStringLiteral("To &Proper Case"));
    mnuReverseCase = action(mnuCaseConversion, "mnuReverseCase", QStringLiteral("&Reverse Case"));
    mnuCaseConversion->addSeparator()->setObjectName(QStringLiteral("mnuSeparator23"));
    mnuSentences = action(mnuCaseConversion, "mnuSentences", QStringLiteral("Make &Sentences"));
    mnuZigZagCase = action(mnuCaseConversion, "mnuZigZagCase", QStringLiteral("&To ZiG zAg Case"));
    mnuCopyToClipboard = mnuClipboard->addMenu(QStringLiteral("&Copy To Clipboard"));
    mnuCopyToClipboard->setObjectName(QStringLiteral("mnuCopyToClipboard"));
    mnuCopyToClipboard->setIcon(MenuIcons::icon("COPY"));
    mnuCopyDate = action(mnuCopyToClipboard, "mnuCopyDate", QStringLiteral("Current &Date"));
    mnuCopyTime = action(mnuCopyToClipboard, "mnuCopyTime", QStringLiteral("Current &Time"));
    mnuRemoveDiacritics = action(mnuClipboard, "mnuRemoveDiacritics", QStringLiteral("&Remove Diacritics"));
    mnuReverse = action(mnuClipboard, "mnuReverse", QStringLiteral("R&everse Text"));
    mnuClipboard->addSeparator()->setObjectName(QStringLiteral("mnuSeperator334"));
    mnuCleanClipboard = action(mnuClipboard, "mnuCleanClipboard", QStringLiteral("&Clean Clipboard"), "RECYCLE");

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpZP = action(mnuHelp, "mnuHelpZP", QStringLiteral("&Help"), "HELP");
    mnuQuickWizard = action(mnuHelp, "mnuQuickWizard", QStringLiteral("Quick Overview &Wizard"), "HELP");
    mnuHelp->addSeparator();
    mnuWebsite = action(mnuHelp, "mnuWebsite", QStringLiteral("Zolpane &Website"), "NET");
    mnuTechSupport = action(mnuHelp, "mnuTechSupport", QStringLiteral("Write To &Support"), "EMAIL");
    mnuHelp->addSeparator();
    mnuAbout = action(mnuHelp, "mnuAbout", QStringLiteral("&About Zolpane"), "INFO");

    // Commands of features that are not connected stay disabled; the composition root enables what it wires.
    for (QAction* a : {mnuNewProject,     mnuLoadProject, mnuSaveProject, mnuSaveAs,           mnuExportHotkeyOverview,
                       mnuDeleteProject,  mnuMakeDefault, mnuExit,        mnuSettings,         mnuZolProjects,
                       mnuToLowerCase,    mnuToUpperCase, mnuProperCase,  mnuReverseCase,      mnuSentences,
                       mnuZigZagCase,     mnuCopyDate,    mnuCopyTime,    mnuRemoveDiacritics, mnuReverse,
                       mnuCleanClipboard, mnuHelpZP,      mnuQuickWizard, mnuWebsite,          mnuTechSupport,
                       mnuAbout})
        a->setEnabled(false);
    mnuRecentProjects->setEnabled(false);
    connect(mnuClose, &QAction::triggered, this, &frmZolpane::hideWindow);
}

void frmZolpane::showClip(int i) {
    ClipRowEdit* edit = txtPaste.value(i);
    if (!edit)
        return;
    const ClipTable::Clip& clip = m_table.clip(i);
    m_updatingRow = true;
    if (edit->text() != clip.text) {
        const bool focused = edit->hasFocus();
        edit->setText(clip.text);
        if (!focused)
            edit->setCursorPosition(0);
    }
    m_updatingRow = false;
    edit->setLocked(clip.locked);
    // Unlocked rows have the colour of an editable box, locked rows the colour of the window.
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, clip.locked ? palette().color(QPalette::Window) : palette().color(QPalette::Base));
    edit->setPalette(pal);
}

void frmZolpane::ShowAtStatus(const QString& text) {
    if (m_statusPanel->text() != text)
        m_statusPanel->setText(text);
    tmrRestore->stop();
    tmrRestore->start();
}

QString frmZolpane::statusText() const {
    return m_statusPanel->text();
}

void frmZolpane::holdStatus() {
    tmrRestore->stop();
}

void frmZolpane::markLastClip(int n) {
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        QFont font = lblPanel[i]->font();
        font.setBold(i == n);
        lblPanel[i]->setFont(font);
    }
}

void frmZolpane::CleanUp() {
    m_table.CleanUp();
    focusFirstRow();
}

void frmZolpane::focusFirstRow() {
    ClipRowEdit* first = txtPaste.value(1);
    if (!first)
        return;
    first->setFocus(Qt::OtherFocusReason);
    if (m_table.clip(1).text == ClipTable::EmptyClipText)
        m_table.setText(1, QString());
    first->selectAll();
}

void frmZolpane::rowGotFocus(int i) {
    CurrentClip = i;
    if (m_table.clip(i).text == ClipTable::EmptyClipText)
        m_table.setText(i, QString());
    if (SkipSelectAll)
        SkipSelectAll = false;
    else
        txtPaste[i]->selectAll();
}

void frmZolpane::rowLostFocus(int i) {
    if (m_table.clip(i).text.isEmpty())
        m_table.setText(i, ClipTable::EmptyClipText);
}

void frmZolpane::rowClicked(int i) {
    if (m_table.clip(i).text == ClipTable::EmptyClipText)
        m_table.setText(i, QString());
}

void frmZolpane::rowTextEdited(int i, const QString& text) {
    if (m_updatingRow)
        return;
    QString cleaned = text;
    // A simple clip stays one line: pasted line breaks vanish without a space.
    if (cleaned.contains(QStringLiteral("\r\n"))) {
        cleaned.remove(QChar('\n'));
        cleaned.remove(QChar('\r'));
    }
    m_table.setText(i, cleaned);
}

void frmZolpane::rowKeyDown(int i, int keyCode, int shift) {
    using namespace KeyCode;
    if (keyCode >= F1 && keyCode <= F8 && shift == RowKeyModifier::Control) {
        Q_EMIT quickSlotRequested(keyCode - F1 + 1);
        return;
    }
    if (keyCode == F9 && shift == RowKeyModifier::Control) {
        Q_EMIT loadDefaultProjectRequested();
        return;
    }
    if (m_table.clip(i).format == ClipTable::TxtSimple && keyCode != Tab && keyCode != Escape && keyCode != Delete &&
        keyCode != F3 && keyCode != F4) {
        if (keyCode == KeyCode::Shift || keyCode == Control || keyCode == Alt)
            return;
        if (keyCode == A && shift == RowKeyModifier::Control)
            txtPaste[i]->selectAll();
        else
            Changed = true;
        return;
    }
    switch (keyCode) {
    case F4:
        if (shift == RowKeyModifier::Alt)
            Q_EMIT exitRequested();
        else
            Q_EMIT propertiesRequested(i);
        return;
    case F3:
        openEditor(i);
        return;
    case F2:
        Q_EMIT copyRequested(i);
        return;
    case Delete:
        if (m_settings.AskDeletingClip &&
            Messages::ShowMessage(QStringLiteral("Do you really want to delete this clip?"), QStringLiteral("quest")) !=
                Messages::Yes)
            return;
        m_table.clearClip(i);
        return;
    case A:
        if (shift == RowKeyModifier::Control)
            txtPaste[i]->selectAll();
        return;
    default:
        return;
    }
}

void frmZolpane::openEditor(int i) {
    if (!m_editorAvailable)
        return;
    if (m_table.clip(i).text == ClipTable::EmptyClipText)
        m_table.setText(i, QString());
    const ClipTable::Clip& clip = m_table.clip(i);
    m_handOver.EditIsRtf = clip.format == ClipTable::Rtf;
    if (m_handOver.EditIsRtf)
        m_handOver.EditData = clip.data;
    m_handOver.EditIsImage = false;
    if (clip.format == ClipTable::TxtSimple) {
        m_handOver.EditData = clip.text;
    } else if (clip.format == ClipTable::TxtLong) {
        m_handOver.EditData = clip.data;
    } else if (clip.format == ClipTable::Img) {
        m_handOver.Clearpicture();
        m_handOver.picTemp = clip.picture;
        m_handOver.EditIsImage = true;
    }
    m_handOver.EditClipNumber = i;
    dropTopMost();
    Q_EMIT editRequested(i);
    DisableButtons();
}

void frmZolpane::setEditorAvailable(bool available) {
    m_editorAvailable = available;
    for (int i = 1; i <= ClipTable::ClipCount; ++i)
        icmdConf[i]->setButtonEnabled(available);
}

void frmZolpane::Update(int i) {
    m_table.setText(i, m_handOver.EditCaption);
    Changed = true;
    const bool empty = (m_handOver.EditIsImage && m_handOver.picTemp.isNull()) ||
                       (!m_handOver.EditIsImage && m_handOver.EditData.isEmpty());
    if (empty) {
        m_table.SwitchLock(i, false);
        m_table.setFormat(i, ClipTable::TxtSimple);
        m_table.setText(i, QString());
        m_table.setData(i, QString());
    } else if (m_handOver.EditIsRtf) {
        m_table.setFormat(i, ClipTable::Rtf);
        m_handOver.EditIsRtf = false;
        m_table.SwitchLock(i, true);
        m_table.setData(i, m_handOver.EditData);
    } else if (m_handOver.EditIsSimple && !m_handOver.EditIsImage) {
        m_table.setFormat(i, ClipTable::TxtSimple);
        m_table.SwitchLock(i, false);
        m_table.setData(i, m_table.clip(i).text);
    } else if (!m_handOver.EditIsSimple && !m_handOver.EditIsImage) {
        m_table.setFormat(i, ClipTable::TxtLong);
        m_table.SwitchLock(i, true);
        m_table.setData(i, m_handOver.EditData);
    } else if (m_handOver.EditIsImage) {
        m_table.setFormat(i, ClipTable::Img);
        m_table.SwitchLock(i, true);
        m_table.setData(i, QString());
        m_table.setPicture(i, m_handOver.picTemp);
        m_handOver.Clearpicture();
    }
    m_table.PlaceEmptyStrings();
    m_handOver.EditIsRtf = false;
    m_handOver.EditIsImage = false;
}

void frmZolpane::DisableButtons() {
    for (int i = 1; i <= ClipTable::ClipCount; ++i)
        txtPaste[i]->setEnabled(false);
    chckMove->setEnabled(false);
    for (QMenu* m : {mnuFile, mnuOptions, mnuHelp})
        m->menuAction()->setEnabled(false);
}

void frmZolpane::EnableButtons() {
    for (int i = 1; i <= ClipTable::ClipCount; ++i)
        txtPaste[i]->setEnabled(true);
    chckMove->setEnabled(true);
    for (QMenu* m : {mnuFile, mnuOptions, mnuHelp})
        m->menuAction()->setEnabled(true);
}

void frmZolpane::setAlwaysOnTop(bool on, bool writeSetting) {
    if (writeSetting)
        m_settings.WriteSetting(QStringLiteral("Zolpane"), QStringLiteral("ZPAlwaysOnTop"),
                                on ? QStringLiteral("1") : QStringLiteral("0"));
    m_alwaysOnTop = on;
    m_windows.setTopMost(this, on);
    icmdAlwaysOnTopOFF->setVisible(!on);
    icmdAlwaysOnTopON->setVisible(on);
}

void frmZolpane::showCopyOptions() {
    mnuMinimizeOnCopy->setChecked(m_settings.MinimizeOnCopy);
    mnuHideOnCopy->setChecked(m_settings.HideOnCopy);
    mnuAutoPaste->setChecked(m_settings.AutoPaste);
}

void frmZolpane::dropTopMost() {
    m_windows.setTopMost(this, false);
}

void frmZolpane::restoreTopMost() {
    if (m_alwaysOnTop)
        m_windows.setTopMost(this, true);
}

void frmZolpane::rowDropped(int source, int target) {
    if (!ClipTable::isValidIndex(source) || !ClipTable::isValidIndex(target))
        return;
    m_table.swapClips(source, target);
}

void frmZolpane::setMoveMode(bool on) {
    for (int i = 1; i <= ClipTable::ClipCount; ++i)
        txtPaste[i]->setAutomaticDrag(on);
}

void frmZolpane::hideWindow() {
    hide();
}

void frmZolpane::closeEvent(QCloseEvent* event) {
    if (!m_programExiting) {
        event->ignore();
        hide();
        return;
    }
    Q_EMIT unloading();
    event->accept();
}

void frmZolpane::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void frmZolpane::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_handOver.EditorOpen)
        Q_EMIT activatedWhileEditorOpen();
    QMainWindow::changeEvent(event);
}

bool frmZolpane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == chckMove && event->type() == QEvent::FocusIn)
        CurrentClip = 31;
    return QMainWindow::eventFilter(watched, event);
}
