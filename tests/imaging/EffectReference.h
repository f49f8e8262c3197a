#pragma once

#include <QImage>
#include <QString>

class EffectRandom;

// What the effects read from elsewhere: the brightness offset, the colour-balance sliders, the random generator.
struct ReferenceInputs {
    int brightnessOffset = 0, red = 0, green = 0, blue = 0;
    EffectRandom* random = nullptr;
};

// Each effect written out plainly, one pixel read and written at a time in column order over a picture box in
// pixels as large as the picture: the yardstick for the fast implementation.
QImage referenceEffect(const QString& name, const QImage& picture, const ReferenceInputs& inputs);
