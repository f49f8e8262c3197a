#include "imaging/frmImgColors.h"

#include "imaging/ImageEffects.h"

#include <QLabel>
#include <QSlider>

#include <utility>

namespace {

QSlider* makeChannelSlider(QWidget* parent, const char* name, const QString& caption, int top) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(10, top, 50, 26);
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QLatin1String(name));
    slider->setRange(-100, 100);
    slider->setSingleStep(1);
    slider->setPageStep(10);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(20);
    slider->setTracking(false);
    slider->setGeometry(60, top, 170, 26);
    return slider;
}

} // namespace

frmImgColors::frmImgColors(ImageEffects& effects, EffectDialogHost host, QWidget* parent)
    : EffectPreviewDialog(effects, std::move(host), QStringLiteral("colors"), QStringLiteral("colorbalance"), parent),
      sldRed(makeChannelSlider(this, "sldRed", tr("Red"), 10)),
      sldGreen(makeChannelSlider(this, "sldGreen", tr("Green"), 44)),
      sldBlue(makeChannelSlider(this, "sldBlue", tr("Blue"), 78)) {
    setWindowTitle(tr("Color balance"));
    effects.setColorsDialog(this);
    for (QSlider* slider : {sldRed, sldGreen, sldBlue})
        connect(slider, &QSlider::valueChanged, this, [this] { Preview(); });
    load();
}
