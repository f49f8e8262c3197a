#pragma once

#include <QImage>
#include <QtGlobal>

#include <functional>

class EffectRandom;

// The pixel loops of the picture effects. Each runs column by column (x ascending, then y ascending) over the
// effect's own range, writing every pixel at once so that later pixels read already changed neighbours; where
// an effect's result does not depend on that order the loop goes row by row inside a band of columns instead,
// which gives the same pixels much faster.
namespace EffectKernels {

enum class Kind { Invert, Grayscale, Sharpen, Diffuse, Emboss, Solarize, Lighten, Brightness, Colors, Soften };

struct Parameters {
    int brightnessOffset = 0;
    int red = 0; // colour balance, -100 ... 100
    int green = 0;
    int blue = 0;
    EffectRandom* random = nullptr; // diffuse draws from it
};

// Called with column / W * 100 after every column whose index is a multiple of round(W / 20).
using Progress = std::function<void(double percent)>;

// Runs one effect on a picture in 32-bit RGB whose last column index is W and last row index is H (taken from
// the picture box, so they may differ from the picture's own size). Samples outside the picture count -1 per
// channel; pixels outside it are not written.
void run(Kind kind, QImage& picture, qint64 W, qint64 H, const Parameters& parameters, const Progress& progress);

} // namespace EffectKernels
