#pragma once

#include "imaging/EffectPreviewDialog.h"

class QSlider;

// "Brightness": chooses the brightness offset with a preview.
class frmImgBrightness final : public EffectPreviewDialog {
    Q_OBJECT

public:
    frmImgBrightness(ImageEffects& effects, EffectDialogHost host, QWidget* parent = nullptr);

    QSlider* const sldBright;
};
