#include "imaging/frmImgBrightness.h"

#include "imaging/ImageEffects.h"

#include <QLabel>
#include <QSlider>

#include <utility>

namespace {

QLabel* addLabel(QWidget* parent, const QString& text, int x, int y, Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, 70, 20);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

} // namespace

frmImgBrightness::frmImgBrightness(ImageEffects& effects, EffectDialogHost host, QWidget* parent)
    : EffectPreviewDialog(effects, std::move(host), QStringLiteral("brightness"), QStringLiteral("brightness"), parent),
      sldBright(new QSlider(Qt::Horizontal, this)) {
    setWindowTitle(tr("Brightness"));
    sldBright->setObjectName(QStringLiteral("sldBright"));
    sldBright->setRange(-255, 255);
    sldBright->setSingleStep(5);
    sldBright->setPageStep(25);
    sldBright->setTickPosition(QSlider::TicksBelow);
    sldBright->setTickInterval(51);
    // The value counts once the thumb is let go; while dragging only the offset follows it.
    sldBright->setTracking(false);
    sldBright->setGeometry(10, 32, 220, 26);
    addLabel(this, tr("Darker"), 10, 10, Qt::AlignLeft);
    addLabel(this, tr("Current"), 85, 10, Qt::AlignHCenter);
    addLabel(this, tr("Lighter"), 160, 10, Qt::AlignRight);
    addLabel(this, QStringLiteral("-255"), 10, 60, Qt::AlignLeft);
    addLabel(this, QStringLiteral("255"), 160, 60, Qt::AlignRight);

    effects.setBrightnessDialog(this);
    // Opening starts from the slider's position, so OK without touching it changes nothing.
    effects.BrightnessOffset = sldBright->value();
    connect(sldBright, &QSlider::sliderMoved, this, [this](int value) { this->effects().BrightnessOffset = value; });
    connect(sldBright, &QSlider::valueChanged, this, [this](int value) {
        this->effects().BrightnessOffset = value;
        Preview();
    });
    load();
}
