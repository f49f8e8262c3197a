#include "clipmenu/frmMain.h"

#include "platform/MenuPopup.h"
#include "project/ClipTable.h"
#include "services/Messages.h"
#include "widgets/MenuIcons.h"
#include "widgets/TextCommandMenu.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

// The tray menu closes before the windows go away.
constexpr int ExitDelayMs = 100;

// The caption of a clip entry: "(" + i + ") &" + the first 30 characters of the row text.
QString clipEntryCaption(int i, const QString& rowText) {
    return QStringLiteral("(") + QString::number(i) + QStringLiteral(") &") + rowText.left(30);
}

} // namespace

frmMain::frmMain(ClipTable& table, ClipboardTextCommands& textCommands, QWidget* parent)
    : QWidget(parent), m_table(table), m_text(textCommands) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Zolpane"));

    mnuMotherZolpane = new QMenu(QStringLiteral("&Zolpane Menu"), this);
    mnuMotherZolpane->setObjectName(QStringLiteral("mnuMotherZolpane"));
    QAction* mnuZolpaner = addAction(mnuMotherZolpane, "mnuZolpaner", QStringLiteral("Show &Zolpane"));
    QFont bold = mnuZolpaner->font();
    bold.setBold(true); // the default item
    mnuZolpaner->setFont(bold);
    QAction* mnuHideZP = addAction(mnuMotherZolpane, "mnuHideZP", QStringLiteral("Hide &Zolpane"));
    mnuMotherZolpane->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    QMenu* formatting =
        addMenu(mnuMotherZolpane, "mnuClipboardFormating", QStringLiteral("Clipboard Formating"), "CLIPBOARDFORMAT");
    QMenu* caseMenu = addMenu(formatting, "mnuCase", QStringLiteral("&Case Conversion"));
    const auto run = [this](const QString& name) {
        if (const auto command = ClipboardTextCommands::commandForMenu(name))
            m_text.run(*command);
    };
    TextCommandMenu::addCaseItems(caseMenu, this, run);
    TextCommandMenu::addTextItems(formatting, this, run);
    QMenu* copyTo = addMenu(mnuMotherZolpane, "mnuCopyToClip", QStringLiteral("C&opy To Clipboard"), "COPY");
    TextCommandMenu::addDateTimeItems(copyTo, this, run);
    copyTo->addSeparator()->setObjectName(QStringLiteral("mnuSep13"));
    mnuClipFromZolpane = addMenu(copyTo, "mnuClipFromZolpane", QStringLiteral("Cl&ip from Zolpane"));
    QAction* mnuCleanClipboard =
        addAction(mnuClipFromZolpane, "mnuCleanClipboard", QStringLiteral("&Clean Clipboard"), "RECYCLE");
    mnuClipFromZolpane->addSeparator()->setObjectName(QStringLiteral("mnuSep5"));
    mnuMotherZolpane->addSeparator()->setObjectName(QStringLiteral("mnuSep3"));
    QMenu* options = addMenu(mnuMotherZolpane, "mnuOptions", QStringLiteral("&Options"), "WRENCH");
    QAction* mnuSettings = addAction(options, "mnuSettings", QStringLiteral("&Settings..."), "WRENCH");
    options->addSeparator()->setObjectName(QStringLiteral("mnuseparator26"));
    mnuRunStartup = addAction(options, "mnuRunStartup", QStringLiteral("&Run At Startup"));
    mnuRunStartup->setCheckable(true);
    mnuMotherZolpane->addSeparator()->setObjectName(QStringLiteral("mnuSep2"));
    QAction* mnuExit = addAction(mnuMotherZolpane, "mnuExit", QStringLiteral("E&xit"), "EXIT");

    tmrExit = new QTimer(this);
    tmrExit->setObjectName(QStringLiteral("tmrExit"));
    tmrExit->setSingleShot(true);
    tmrExit->setInterval(ExitDelayMs);
    connect(tmrExit, &QTimer::timeout, this, &frmMain::exitRequested);

    connect(mnuZolpaner, &QAction::triggered, this, &frmMain::showMainWindowRequested);
    connect(mnuHideZP, &QAction::triggered, this, &frmMain::hideMainWindowRequested);
    connect(mnuSettings, &QAction::triggered, this, &frmMain::settingsRequested);
    connect(mnuRunStartup, &QAction::triggered, this, [this] {
        // The check mark follows the entry, not the click.
        mnuRunStartup->setChecked(!mnuRunStartup->isChecked());
        Q_EMIT toggleRunAtStartupRequested();
    });
    connect(mnuCleanClipboard, &QAction::triggered, this, &frmMain::CleanClipboard);
    connect(mnuExit, &QAction::triggered, tmrExit, qOverload<>(&QTimer::start));
}

frmMain::~frmMain() {
    RemoveTrayIcon();
}

QMenu* frmMain::addMenu(QMenu* parent, const char* name, const QString& caption, const char* iconKey) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    if (iconKey)
        menu->setIcon(MenuIcons::icon(iconKey));
    return menu;
}

QAction* frmMain::addAction(QMenu* parent, const char* name, const QString& caption, const char* iconKey) {
    QAction* a = parent->addAction(caption);
    a->setObjectName(QLatin1String(name));
    if (iconKey)
        a->setIcon(MenuIcons::icon(iconKey));
    return a;
}

void frmMain::AddTrayIcon(const QString& tip) {
    if (m_tray)
        return;
    m_tray = new QSystemTrayIcon(MenuIcons::icon("ZOLPANE"), this);
    m_tray->setObjectName(QStringLiteral("trayIcon"));
    m_tray->setToolTip(tip.left(63));
    m_tray->setContextMenu(mnuMotherZolpane);
    connect(mnuMotherZolpane, &QMenu::aboutToShow, this, &frmMain::BuildClipMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            Q_EMIT showMainWindowRequested();
    });
    m_tray->show();
}

void frmMain::RemoveTrayIcon() {
    if (!m_tray)
        return;
    m_tray->hide();
    delete m_tray;
    m_tray = nullptr;
}

void frmMain::BuildClipMenu() {
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        if (ClipMenuItem[size_t(i)]) {
            mnuClipFromZolpane->removeAction(ClipMenuItem[size_t(i)]);
            delete ClipMenuItem[size_t(i)];
            ClipMenuItem[size_t(i)] = nullptr;
        }
    }
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        const QString& text = m_table.clip(i).text;
        if (text.isEmpty() || text == ClipTable::EmptyClipText)
            continue;
        QAction* entry = mnuClipFromZolpane->addAction(MenuIcons::icon("COPY"), clipEntryCaption(i, text));
        entry->setObjectName(QStringLiteral("mnuZPCClip%1").arg(i));
        connect(entry, &QAction::triggered, this, [this, i] { Q_EMIT clipChosen(i); });
        ClipMenuItem[size_t(i)] = entry;
    }
}

void frmMain::ShowTrayMenu() {
    BuildClipMenu();
    // The foreground window stays what it is: the menu takes the keyboard without becoming the active window.
    MenuPopup::popUp(mnuMotherZolpane, QCursor::pos());
}

void frmMain::ShowPasteMenu() {
    BuildClipMenu();
    // Without any clip there is nothing to paste from the clip menu.
    const bool anyClip = std::any_of(ClipMenuItem.begin(), ClipMenuItem.end(), [](QAction* a) { return a; });
    if (!anyClip) {
        Messages::ShowError(QStringLiteral("No clips to paste!"));
        return;
    }
    MenuPopup::popUp(mnuClipFromZolpane, QCursor::pos());
}

void frmMain::CleanClipboard() {
    QApplication::clipboard()->clear();
    Q_EMIT statusMessage(QStringLiteral("Clipboard cleared"));
}

void frmMain::setRunAtStartupChecked(bool checked) {
    mnuRunStartup->setChecked(checked);
}
