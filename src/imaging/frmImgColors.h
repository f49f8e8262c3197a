#pragma once

#include "imaging/EffectPreviewDialog.h"

class QSlider;

// "Color balance": scales each colour channel by its slider, with a preview. The colour-balance effect reads
// the three sliders.
class frmImgColors final : public EffectPreviewDialog {
    Q_OBJECT

public:
    frmImgColors(ImageEffects& effects, EffectDialogHost host, QWidget* parent = nullptr);

    QSlider* const sldRed;
    QSlider* const sldGreen;
    QSlider* const sldBlue;
};
