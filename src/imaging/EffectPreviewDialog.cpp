#include "imaging/EffectPreviewDialog.h"

#include "imaging/ImageEffects.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace {

// Left column: the subclass's sliders on top, then the preview notice and the two buttons. The preview sits to
// the right of it.
constexpr int kMargin = 10;
constexpr int kControlsWidth = 220;
constexpr int kPreviewLeft = kMargin + kControlsWidth + 20;
constexpr int kNoticeTop = 110;
constexpr int kButtonsTop = 150;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 28;
constexpr int kMinimumHeight = kButtonsTop + kButtonHeight + kMargin;

QLabel* makeLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

EffectPreviewDialog::EffectPreviewDialog(ImageEffects& effects, EffectDialogHost host, QString effectName,
                                         QString editorCommand, QWidget* parent)
    : QDialog(parent), imgOriginal(makeLabel(this, "imgOriginal")), picTemp(makeLabel(this, "picTemp")),
      picBox(makeLabel(this, "picBox")), lblPreview(makeLabel(this, "lblPreview")),
      cmdOK(makeButton(this, "cmdOK", tr("OK"))), cmdCancel(makeButton(this, "cmdCancel", tr("&Cancel"))),
      m_effects(effects), m_host(std::move(host)), m_effectName(std::move(effectName)),
      m_editorCommand(std::move(editorCommand)) {
    imgOriginal->hide();
    picTemp->hide();
    picBox->move(kPreviewLeft, kMargin);
    lblPreview->setText(tr("Generating preview..."));
    lblPreview->setGeometry(kMargin, kNoticeTop, kControlsWidth, 20);
    lblPreview->hide();
    cmdOK->setGeometry(kMargin, kButtonsTop, kButtonWidth, kButtonHeight);
    cmdOK->setDefault(true);
    cmdCancel->setGeometry(kMargin + kControlsWidth - kButtonWidth, kButtonsTop, kButtonWidth, kButtonHeight);
    connect(cmdOK, &QPushButton::clicked, this, &EffectPreviewDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &EffectPreviewDialog::reject);
}

EffectPreviewDialog::~EffectPreviewDialog() = default;

void EffectPreviewDialog::ScaleToFit(float& width, float& height, float maxWidth, float maxHeight) {
    if (width > maxWidth) {
        const float factor = maxWidth / width;
        width *= factor;
        height *= factor;
    }
    if (height > maxHeight) {
        const float factor = maxHeight / height;
        width *= factor;
        height *= factor;
    }
}

void EffectPreviewDialog::load() {
    preparePreview();
    Preview();
    showInPreview(m_original);
}

void EffectPreviewDialog::preparePreview() {
    const QImage& picture = m_host.picture;
    if (picture.width() > kPreviewWidth || picture.height() > kPreviewHeight) {
        float width = float(picture.width());
        float height = float(picture.height());
        ScaleToFit(width, height, kPreviewWidth, kPreviewHeight);
        m_temp = QImage(std::max(1, qRound(width)), std::max(1, qRound(height)), QImage::Format_RGB32);
        m_temp.fill(Qt::white);
        QPainter painter(&m_temp);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(m_temp.rect(), picture);
        painter.end();
        m_original = m_temp;
        m_temp = QImage();
    } else {
        m_original = picture;
    }
    imgOriginal->setPixmap(QPixmap::fromImage(m_original));
    showInPreview(m_original);
    const int height = std::max(kMinimumHeight, picBox->y() + picBox->height() + kMargin);
    setFixedSize(picBox->x() + picBox->width() + twipsToPixels(150), height);
}

void EffectPreviewDialog::Preview() {
    m_temp = m_original;
    // The notice doubles as the guard: a notification during a running preview is dropped.
    if (!lblPreview->isHidden())
        return;
    lblPreview->show();
    m_effects.ApplyImageEffect(m_effectName, m_temp);
    showInPreview(m_temp);
    lblPreview->hide();
}

void EffectPreviewDialog::showInPreview(const QImage& picture) {
    picBox->setPixmap(QPixmap::fromImage(picture));
    picBox->resize(picture.size());
}

void EffectPreviewDialog::accept() {
    if (m_unloaded)
        return;
    if (m_host.editor != nullptr)
        m_host.editor->show();
    hide();
    if (m_host.applyEffect)
        m_host.applyEffect(m_editorCommand);
    unload();
}

void EffectPreviewDialog::reject() {
    unload();
}

void EffectPreviewDialog::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}

void EffectPreviewDialog::unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    const bool exiting = m_host.programExiting && m_host.programExiting();
    if (!exiting && m_host.editor != nullptr) {
        m_host.editor->setEnabled(true);
        m_host.editor->show();
    }
    hide();
    deleteLater();
}

int EffectPreviewDialog::twipsToPixels(int twips) const {
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return qRound(twips * dpi / 1440.0);
}
