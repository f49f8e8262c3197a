#include "paste/HotkeyPicker.h"

#include "paste/HotkeyKeyList.h"
#include "platform/KeyCodes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

HotkeyPicker::HotkeyPicker(const QString& nameSuffix, bool plusLabels, QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* layout = new QHBoxLayout;
    column->addLayout(layout);
    auto check = [&](const char* name, const char* caption, int plus) {
        auto* box = new QCheckBox(QString::fromLatin1(caption), this);
        box->setObjectName(QLatin1String(name) + nameSuffix);
        layout->addWidget(box);
        if (plusLabels) {
            auto* label = new QLabel(QStringLiteral("+"), this);
            label->setObjectName(QStringLiteral("lblInfo(%1)").arg(plus));
            layout->addWidget(label);
            lblInfo[size_t(plus)] = label;
        }
        return box;
    };
    chkShift = check("chkShift", "&Shift", 0);
    chkAlt = check("chkAlt", "&Alt", 1);
    chkControl = check("chkControl", "&Control", 2);
    mKey = new QComboBox(this);
    mKey->setObjectName(QStringLiteral("mKey") + nameSuffix);
    layout->addWidget(mKey, 1);
    fillKeyList();
    lblDesktop = new QLabel(this);
    lblDesktop->setObjectName(QStringLiteral("lblDesktop") + nameSuffix);
    lblDesktop->hide();
    column->addWidget(lblDesktop);
}

void HotkeyPicker::showDesktopBinding(const QString& text) {
    lblDesktop->setText(text);
    lblDesktop->setVisible(!text.isEmpty());
}

void HotkeyPicker::fillKeyList() {
    mKey->clear();
    for (const HotkeyKeyEntry& entry : HotkeyKeyList())
        mKey->addItem(entry.text, entry.keyCode);
    mKey->setCurrentIndex(-1);
}

int HotkeyPicker::modifiers() const {
    return (chkAlt->isChecked() ? HotkeyModifier::Alt : 0) | (chkControl->isChecked() ? HotkeyModifier::Control : 0) |
           (chkShift->isChecked() ? HotkeyModifier::Shift : 0);
}

void HotkeyPicker::setModifiers(int bits) {
    chkAlt->setChecked(bits & HotkeyModifier::Alt);
    chkControl->setChecked(bits & HotkeyModifier::Control);
    chkShift->setChecked(bits & HotkeyModifier::Shift);
}

int HotkeyPicker::keyCode() const {
    return mKey->currentIndex() < 0 ? 0 : mKey->currentData().toInt();
}

bool HotkeyPicker::selectKey(double code) {
    for (int e = 0; e < mKey->count(); ++e) {
        if (mKey->itemData(e).toInt() == code) {
            mKey->setCurrentIndex(e);
            return true;
        }
    }
    return false;
}
