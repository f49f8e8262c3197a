#pragma once

#include "imaging/EffectRandom.h"
#include "imaging/PictureScale.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>

class EffectProgressObserver;
class frmImgColors;

// The picture effects: one routine selected by name, the entry operations the editor and the dialogs call, and
// the values the effects read from elsewhere (brightness offset, colour-balance sliders, random generator).
class ImageEffects final {
public:
    // Offset of the brightness effect, -255 ... 255; written by the brightness dialog's slider.
    qint32 BrightnessOffset = 0;

    // Changes the picture in place by the named effect; an unknown name changes nothing. Without a scale the
    // picture is measured in pixels at its own size. The picture ends up in 32-bit RGB; the caller repaints it.
    void ApplyImageEffect(const QString& name, QImage& picture,
                          const std::optional<PictureScale>& scale = std::nullopt);

    void Invert(QImage& picture, const std::optional<PictureScale>& scale = std::nullopt);
    void GrayScale(QImage& picture, const std::optional<PictureScale>& scale = std::nullopt);
    void Sharpen(QImage& picture, const std::optional<PictureScale>& scale = std::nullopt);
    void Diffuse(QImage& picture, const std::optional<PictureScale>& scale = std::nullopt);
    // Turns the picture grey first.
    void Emboss(QImage& picture, const std::optional<PictureScale>& scale = std::nullopt);
    void Solarize(QImage& picture, const std::optional<PictureScale>& scale = std::nullopt);
    void Lighten(QImage& picture, const std::optional<PictureScale>& scale = std::nullopt);
    void Brightness(QImage& picture, const std::optional<PictureScale>& scale = std::nullopt);
    void ColorBalance(QImage& picture, const std::optional<PictureScale>& scale = std::nullopt);
    void Soften(QImage& picture, const std::optional<PictureScale>& scale = std::nullopt);

    // Runs the entry operation for one of the editor's effect commands ("grayscale", "invert", "soften",
    // "sharpen", "diffuse", "emboss", "solarize", "lighten", "brightness", "colorbalance"); false for any
    // other name, which runs nothing.
    bool runEditorEffect(const QString& command, QImage& picture);

    // Seeded once at start-up from the clock.
    void seedRandom(quint64 seed) { m_random.seed(seed); }
    EffectRandom& random() { return m_random; }

    // Receives the progress of every effect; nullptr for none.
    void setProgressObserver(EffectProgressObserver* observer) { m_observer = observer; }

    // The dialogs register themselves while they are loaded: brightness and colour balance do not report
    // progress while their dialog is visible (previews), and colour balance reads the colour dialog's sliders.
    void setBrightnessDialog(QWidget* dialog) { m_brightnessDialog = dialog; }
    void setColorsDialog(frmImgColors* dialog);

private:
    EffectRandom m_random;
    EffectProgressObserver* m_observer = nullptr;
    QPointer<QWidget> m_brightnessDialog;
    QPointer<QWidget> m_colorsDialog;
};
