#include "project/frmZolpane.h"

#include "platform/Platform.h"
#include "project/ClipRowEdit.h"
#include "project/ClipRowGrid.h"
#include "services/Settings.h"
#include "widgets/MenuIcons.h"
#include "widgets/isButton.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

using namespace RowGeometry;

namespace {

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

    m_menus = new MainMenus(menuBar(), m_settings);
    connect(m_menus, &MainMenus::triggered, this, [this](MainMenus::Command command) {
        if (command == MainMenus::Command::Hide)
            hide();
        else
            Q_EMIT menuCommand(command);
    });
    connect(m_menus, &MainMenus::recentProjectChosen, this, &frmZolpane::recentProjectRequested);
    connect(m_menus, &MainMenus::clipboardCommand, this, &frmZolpane::clipboardCommandRequested);
    buildButtons();

    const double twipsPerPixel = m_windows.twipsPerPixelY();
    m_rows =
        new ClipRowGrid(m_table, m_settings, central, int(RowDropTwips / (twipsPerPixel > 0 ? twipsPerPixel : 15)));
    connect(m_rows, &ClipRowGrid::copyRequested, this, &frmZolpane::copyRequested);
    connect(m_rows, &ClipRowGrid::editRequested, this, &frmZolpane::openEditor);
    connect(m_rows, &ClipRowGrid::propertiesRequested, this, &frmZolpane::propertiesRequested);
    connect(m_rows, &ClipRowGrid::quickSlotRequested, this, &frmZolpane::quickSlotRequested);
    connect(m_rows, &ClipRowGrid::loadDefaultProjectRequested, this, &frmZolpane::loadDefaultProjectRequested);
    connect(m_rows, &ClipRowGrid::exitRequested, this, &frmZolpane::exitRequested);
    connect(m_rows, &ClipRowGrid::edited, this, [this] { m_changed = true; });

    chckMove = new QCheckBox(QStringLiteral("&Move Mode"), central);
    chckMove->setObjectName(QStringLiteral("chckMove"));
    const int bottomTop = TemplateCopyTop + 16 * (ButtonSize + RowGap) + 4;
    chckMove->setGeometry(4, bottomTop, 110, 20);
    chckMove->installEventFilter(this);
    connect(chckMove, &QCheckBox::toggled, m_rows, &ClipRowGrid::setMoveMode);

    lblWindow = new QLabel(central);
    lblWindow->setObjectName(QStringLiteral("lblWindow"));
    lblWindow->setGeometry(120, bottomTop, RightEdge - 120, 20);

    // The status bar itself comes with the first showing (setVisible()): building it measures text, which loads
    // the fonts, a cost a window loaded hidden at start-up need not pay before the tray icon. Its panel keeps
    // the status text meanwhile.
    m_statusPanel = new QLabel(this);
    m_statusPanel->setObjectName(QStringLiteral("StatusBarPanel2"));
    m_statusPanel->hide();

    tmrRestore = new QTimer(this);
    tmrRestore->setObjectName(QStringLiteral("tmrRestore"));
    tmrRestore->setInterval(RestoreIntervalMs);
    connect(tmrRestore, &QTimer::timeout, this, [this] {
        if (!m_programExiting)
            m_statusPanel->setText(QStringLiteral("Ready"));
        tmrRestore->stop();
    });

    setFixedWidth(RightEdge + 8);
    setFixedHeight(WindowHeight);
    m_statusPanel->setText(QStringLiteral("Zolpane"));
}

frmZolpane::~frmZolpane() = default;

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
    const int right = RightEdge - ButtonSize;
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

    connect(
        icmdAlwaysOnTopOFF, &isButton::Click, this, [this] { setAlwaysOnTop(true, true); });
    connect(icmdAlwaysOnTopON, &isButton::Click, this, [this] { setAlwaysOnTop(false, true); });
    connect(icmdSave, &isButton::Click, this, [this] {
        if (m_rows->currentClip() == 31)
            m_rows->setCurrentClip(1);
        Q_EMIT saveProjectRequested();
    });
    connect(icmdLoad, &isButton::Click, this, &frmZolpane::loadProjectRequested);
    connect(icmdDefaultProject, &isButton::Click, this, &frmZolpane::loadDefaultProjectRequested);
    connect(
        icmdPasteNextUp, &isButton::Click, this, [this] { Q_EMIT pasteNextRequested(true); });
    connect(icmdPasteNextDown, &isButton::Click, this, [this] { Q_EMIT pasteNextRequested(false); });
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
    m_rows->markLastClip(n);
}

void frmZolpane::CleanUp() {
    m_table.CleanUp();
    focusFirstRow();
}

void frmZolpane::focusFirstRow() {
    m_rows->focusFirstRow();
}

void frmZolpane::focusRow(int i) {
    if (ClipTable::isValidIndex(i))
        m_rows->row(i)->setFocus();
}

int frmZolpane::currentClip() const {
    return m_rows->currentClip();
}

void frmZolpane::openEditor(int i) {
    if (!m_editorAvailable)
        return;
    m_handOver.handOut(m_table, i);
    dropTopMost();
    Q_EMIT editRequested(i);
    DisableButtons();
}

void frmZolpane::setEditorAvailable(bool available) {
    m_editorAvailable = available;
    m_rows->setEditorAvailable(available);
}

void frmZolpane::Update(int i) {
    m_handOver.takeBack(m_table, i);
    m_changed = true;
}

void frmZolpane::DisableButtons() {
    m_rows->setRowsEnabled(false);
    chckMove->setEnabled(false);
    m_menus->setEnabled(false);
}

void frmZolpane::EnableButtons() {
    m_rows->setRowsEnabled(true);
    chckMove->setEnabled(true);
    m_menus->setEnabled(true);
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
    m_menus->showCopyOptions(m_settings);
}

void frmZolpane::setHelpAvailable(bool available) {
    m_menus->setHelpAvailable(available);
}

void frmZolpane::dropTopMost() {
    m_windows.setTopMost(this, false);
}

void frmZolpane::restoreTopMost() {
    if (m_alwaysOnTop)
        m_windows.setTopMost(this, true);
}

void frmZolpane::setProjectTitle(const QString& title) {
    if (windowTitle() != title)
        setWindowTitle(title);
}

void frmZolpane::setLastWindowCaption(const QString& caption) {
    if (lblWindow->text() != caption)
        lblWindow->setText(caption);
}

void frmZolpane::setRecentEntry(int i, const QString& caption, bool enabled) {
    m_menus->setRecentEntry(i, caption, enabled);
}

void frmZolpane::setRecentMenuEnabled(bool enabled) {
    m_menus->setRecentMenuEnabled(enabled);
}

void frmZolpane::setQuickSlot(int slot, bool usable, const QString& tooltip) {
    isButton* button = icmdZolProject.value(slot - 1);
    if (!button)
        return;
    if (usable)
        button->setToolTipText(tooltip);
    button->setButtonEnabled(usable);
}

void frmZolpane::setDefaultProjectTip(const QString& tip) {
    icmdDefaultProject->setToolTipText(tip);
}

void frmZolpane::setVisible(bool visible) {
    if (visible && !m_statusBarBuilt) {
        m_statusBarBuilt = true;
        m_rows->build();
        statusBar()->setObjectName(QStringLiteral("StatusBar"));
        statusBar()->setSizeGripEnabled(false);
        statusBar()->addWidget(m_statusPanel, 1);
        m_statusPanel->show();
    }
    QMainWindow::setVisible(visible);
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
        m_rows->setCurrentClip(31);
    return QMainWindow::eventFilter(watched, event);
}
