#include "paste/frmProperties.h"
#include "widgets/FormControls.h"

#include "paste/HotkeyPicker.h"
#include "paste/Hotkeys.h"
#include "paste/PasteMethod.h"
#include "platform/KeyCodes.h"
#include "project/ClipTable.h"
#include "services/Messages.h"
#include "services/Settings.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

QRadioButton* option(const char* name, const QString& caption, QWidget* parent, QLayout* layout) {
    return addNamedControl<QRadioButton>(name, caption, parent, layout);
}

} // namespace

frmProperties::frmProperties(PropertiesContext context, int EditClipNumber, QWidget* parent)
    : QDialog(parent), m_ctx(std::move(context)), m_clip(EditClipNumber) {
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("Clip properties"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(QFont(QStringLiteral("Trebuchet MS")));

    auto* method = new QGroupBox(QStringLiteral("Paste method"), this);
    method->setObjectName(QStringLiteral("fraContainer(0)"));
    auto* mv = new QVBoxLayout(method);
    optDefault = option("optDefault", QStringLiteral("&Default"), method, mv);
    optShiftInsert = option("optShiftInsert", QStringLiteral("Send Shift + &Insert (old way of pasting)"), method, mv);
    optKeyByKey = option("optKeyByKey", QStringLiteral("Send clip &key by key (not recommended)"), method, mv);
    optControlV = option("optControlV", QStringLiteral("Send Control + &V"), method, mv);

    auto* hotkey = new QGroupBox(QStringLiteral("Hotkey"), this);
    hotkey->setObjectName(QStringLiteral("fraContainer(1)"));
    picker = new HotkeyPicker(QString(), true, hotkey);
    (new QHBoxLayout(hotkey))->addWidget(picker);
    chkShift = picker->chkShift;
    chkAlt = picker->chkAlt;
    chkControl = picker->chkControl;
    lblInfo = picker->lblInfo;
    mKey = picker->mKey;
    fraContainer = {method, hotkey};

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("C&ancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(method);
    layout->addWidget(hotkey);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmProperties::okClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);

    if (!(m_ctx.programExiting && m_ctx.programExiting()))
        load();
}

frmProperties* frmProperties::open(QPointer<frmProperties>& current, const PropertiesContext& context, int n,
                                   QWidget* parent) {
    if (current)
        current->close(); // deletes it: nothing of the old clip is stored
    if (context.programExiting && context.programExiting())
        return nullptr;
    if (context.dropTopMost)
        context.dropTopMost();
    current = new frmProperties(context, n, parent);
    current->show();
    current->raise();
    current->activateWindow();
    return current;
}

void frmProperties::FillKeyList() {
    picker->fillKeyList();
}

void frmProperties::load() {
    FillKeyList();

    const int method = ClipTable::isValidIndex(m_clip) ? m_ctx.table.ClipMethod[size_t(m_clip)] : 0;
    QRadioButton* const byCode[] = {nullptr, optControlV, optKeyByKey, optShiftInsert, optDefault};
    if (method >= PasteMethod::ControlV && method <= PasteMethod::Default)
        byCode[method]->setChecked(true);

    const QString stem = QStringLiteral("Clip%1").arg(m_clip);
    const int m = m_ctx.settings.ReadInt(QStringLiteral("Hotkeys"), stem + QStringLiteral("Mod"));
    picker->setModifiers(m);

    // A code the list does not offer shows its last entry.
    const double k = m_ctx.settings.ReadNumber(QStringLiteral("Hotkeys"), stem + QStringLiteral("Key"));
    if (!picker->selectKey(k))
        mKey->setCurrentIndex(mKey->count() - 1);
    if (m_ctx.desktopBinding && ClipTable::isValidIndex(m_clip))
        picker->showDesktopBinding(m_ctx.desktopBinding(Hotkeys::clipHotkeyId(m_clip)));
}

int frmProperties::GetModifierCode() const {
    return picker->modifiers();
}

int frmProperties::selectedKey() const {
    return picker->keyCode();
}

bool frmProperties::ValidateHotkey() {
    const int m = GetModifierCode();
    const int k = selectedKey();
    auto hotkeyOf = [this](int clip) { return m_ctx.clipHotkey ? m_ctx.clipHotkey(clip) : std::pair<int, int>{0, 0}; };

    if (k == 0) {
        const auto [oldMod, oldKey] = hotkeyOf(m_clip);
        if (!(oldMod > 0 && oldKey > 0))
            HotkeyUnchanged = true;
        return true;
    }
    if (m == HotkeyModifier::Alt) {
        Messages::ShowMessage(QStringLiteral("You may not use Alt hotkey alone!"), MessageKind::Information);
        return false;
    }
    // Only clip hotkeys are compared; a clash with a special hotkey is left to the platform.
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        const auto [mod, key] = hotkeyOf(i);
        if (key != k || mod != m)
            continue;
        if (i != m_clip) {
            Messages::ShowMessage(QStringLiteral("This hotkey is set to clip %1!").arg(i), MessageKind::Warning);
            return false;
        }
        HotkeyUnchanged = true;
        return true;
    }
    return true;
}

void frmProperties::SetPasteMethod() {
    if (!ClipTable::isValidIndex(m_clip))
        return;
    quint8& method = m_ctx.table.ClipMethod[size_t(m_clip)];
    if (optControlV->isChecked())
        method = PasteMethod::ControlV;
    else if (optKeyByKey->isChecked())
        method = PasteMethod::KeyByKey;
    else if (optShiftInsert->isChecked())
        method = PasteMethod::ShiftInsert;
    else if (optDefault->isChecked())
        method = PasteMethod::Default;
}

void frmProperties::okClicked() {
    if (!ValidateHotkey())
        return;
    if (!HotkeyUnchanged) {
        const int m = GetModifierCode();
        const int k = selectedKey();
        const QString stem = QStringLiteral("Clip%1").arg(m_clip);
        m_ctx.settings.WriteSetting(QStringLiteral("Hotkeys"), stem + QStringLiteral("Mod"), QString::number(m));
        m_ctx.settings.WriteSetting(QStringLiteral("Hotkeys"), stem + QStringLiteral("Key"), QString::number(k));
        if (m_ctx.SetClipHotkey)
            m_ctx.SetClipHotkey(m, k, Hotkeys::clipHotkeyId(m_clip));
    }
    SetPasteMethod();
    close();
}

// Esc lands here as well: closing stores nothing.
void frmProperties::reject() {
    close();
}

void frmProperties::closeEvent(QCloseEvent* event) {
    if (!m_unloaded) {
        m_unloaded = true;
        if (m_ctx.restoreTopMost)
            m_ctx.restoreTopMost();
    }
    event->accept();
}
