#include "imaging/ImageEffects.h"

#include "imaging/EffectKernels.h"
#include "imaging/EffectProgressObserver.h"
#include "imaging/frmImgColors.h"

#include <QCoreApplication>
#include <QSlider>

#include <array>
#include <utility>

using EffectKernels::Kind;

namespace {

// The names are compared exactly, spelling included.
std::optional<Kind> kindOf(const QString& name) {
    static const std::array<std::pair<const char*, Kind>, 10> names{{
        {"invert", Kind::Invert},
        {"grayscale", Kind::Grayscale},
        {"sharpen", Kind::Sharpen},
        {"diffuse", Kind::Diffuse},
        {"emboss", Kind::Emboss},
        {"solarize", Kind::Solarize},
        {"ligthen", Kind::Lighten},
        {"brightness", Kind::Brightness},
        {"colors", Kind::Colors},
        {"soften", Kind::Soften},
    }};
    for (const auto& [text, kind] : names)
        if (name == QLatin1String(text))
            return kind;
    return std::nullopt;
}

bool isVisible(const QPointer<QWidget>& dialog) {
    return !dialog.isNull() && dialog->isVisible();
}

int sliderValue(const QPointer<QWidget>& dialog, const char* name) {
    const auto* slider = dialog.isNull() ? nullptr : dialog->findChild<QSlider*>(QLatin1String(name));
    return slider != nullptr ? slider->value() : 0;
}

} // namespace

void ImageEffects::setColorsDialog(frmImgColors* dialog) {
    m_colorsDialog = dialog;
}

void ImageEffects::ApplyImageEffect(const QString& name, QImage& picture, const std::optional<PictureScale>& scale) {
    const PictureScale box = scale.value_or(PictureScale::pixelsOf(picture));
    const qint64 W = box.lastColumn();
    const qint64 H = box.lastRow();
    // Lets a progress window that was just shown paint itself before the effect blocks the thread.
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const std::optional<Kind> kind = kindOf(name);
    if (!kind)
        return;

    EffectKernels::Parameters parameters;
    parameters.brightnessOffset = BrightnessOffset;
    // With no colour dialog loaded its sliders stand at 0.
    parameters.red = sliderValue(m_colorsDialog, "sldRed");
    parameters.green = sliderValue(m_colorsDialog, "sldGreen");
    parameters.blue = sliderValue(m_colorsDialog, "sldBlue");
    parameters.random = &m_random;

    bool report = m_observer != nullptr;
    if (*kind == Kind::Brightness && isVisible(m_brightnessDialog))
        report = false;
    if (*kind == Kind::Colors && isVisible(m_colorsDialog))
        report = false;
    EffectKernels::Progress progress;
    if (report)
        progress = [observer = m_observer](double percent) { observer->effectProgress(percent); };
    EffectKernels::run(*kind, picture, W, H, parameters, progress);
}

void ImageEffects::Invert(QImage& picture, const std::optional<PictureScale>& scale) {
    ApplyImageEffect(QStringLiteral("invert"), picture, scale);
}

void ImageEffects::GrayScale(QImage& picture, const std::optional<PictureScale>& scale) {
    ApplyImageEffect(QStringLiteral("grayscale"), picture, scale);
}

void ImageEffects::Sharpen(QImage& picture, const std::optional<PictureScale>& scale) {
    ApplyImageEffect(QStringLiteral("sharpen"), picture, scale);
}

void ImageEffects::Diffuse(QImage& picture, const std::optional<PictureScale>& scale) {
    ApplyImageEffect(QStringLiteral("diffuse"), picture, scale);
}

void ImageEffects::Emboss(QImage& picture, const std::optional<PictureScale>& scale) {
    ApplyImageEffect(QStringLiteral("grayscale"), picture, scale);
    ApplyImageEffect(QStringLiteral("emboss"), picture, scale);
}

void ImageEffects::Solarize(QImage& picture, const std::optional<PictureScale>& scale) {
    ApplyImageEffect(QStringLiteral("solarize"), picture, scale);
}

void ImageEffects::Lighten(QImage& picture, const std::optional<PictureScale>& scale) {
    ApplyImageEffect(QStringLiteral("ligthen"), picture, scale);
}

void ImageEffects::Brightness(QImage& picture, const std::optional<PictureScale>& scale) {
    ApplyImageEffect(QStringLiteral("brightness"), picture, scale);
}

void ImageEffects::ColorBalance(QImage& picture, const std::optional<PictureScale>& scale) {
    ApplyImageEffect(QStringLiteral("colors"), picture, scale);
}

void ImageEffects::Soften(QImage& picture, const std::optional<PictureScale>& scale) {
    ApplyImageEffect(QStringLiteral("soften"), picture, scale);
}

bool ImageEffects::runEditorEffect(const QString& command, QImage& picture) {
    using Entry = void (ImageEffects::*)(QImage&, const std::optional<PictureScale>&);
    static const std::array<std::pair<const char*, Entry>, 10> entries{{
        {"grayscale", &ImageEffects::GrayScale},
        {"invert", &ImageEffects::Invert},
        {"soften", &ImageEffects::Soften},
        {"sharpen", &ImageEffects::Sharpen},
        {"diffuse", &ImageEffects::Diffuse},
        {"emboss", &ImageEffects::Emboss},
        {"solarize", &ImageEffects::Solarize},
        {"lighten", &ImageEffects::Lighten},
        {"brightness", &ImageEffects::Brightness},
        {"colorbalance", &ImageEffects::ColorBalance},
    }};
    for (const auto& [name, entry] : entries) {
        if (command == QLatin1String(name)) {
            (this->*entry)(picture, std::nullopt);
            return true;
        }
    }
    return false;
}
