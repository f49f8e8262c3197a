#pragma once

#include "editor/PictureScroll.h"

#include <QFrame>
#include <QImage>
#include <QPointer>
#include <QString>

#include <functional>

class ImageEffects;
class QLabel;
class QPushButton;
class QScrollBar;

// The picture area of the clip editor: the picture at its own size, centred in the frame or scrolled by two
// bars, with a one-step undo buffer, the clipboard, picture files and the image effects with their progress
// window and dialogs. Sizes kept for the layout are in twips.
class PictureArea final : public QFrame {
    Q_OBJECT

public:
    PictureArea(ImageEffects& effects, std::function<bool()> programExiting, QWidget* parent = nullptr);
    ~PictureArea() override;

    // Opening: an empty undo buffer and the blank placeholder.
    void reset();
    // Opening with a picture clip; the undo buffer stays empty.
    void takeOver(const QImage& picture);
    // The picture for the clip, or a null picture while the blank placeholder is shown.
    QImage handBack() const;
    bool isBlank() const;
    // The picture now shown (the placeholder included).
    const QImage& picture() const { return m_picture; }

    // Shows the blank placeholder without touching the undo buffer.
    void clearToBlank();
    // Shows a new picture; the one shown so far goes into the undo buffer.
    void replacePicture(const QImage& picture);
    // Brings back the picture in the undo buffer once; says so when there is nothing to bring back.
    void undo();

    void PasteImage();
    void copyPicture();
    void cutPicture();
    // Loads the file's picture. A file that cannot be read leaves the picture and the undo buffer as they were
    // and says so; false then.
    bool loadFromFile(const QString& path);
    // Writes the picture as PNG or bitmap by the name's ending; false when nothing was written.
    bool saveToFile(const QString& path);

    // Runs one effect on the picture with the progress window; the picture before it goes into the undo buffer.
    void ApplyEffect(const QString& name);
    // The brightness and colour-balance dialogs, modeless; the editor window is disabled while one is open.
    void openBrightnessDialog();
    void openColorsDialog();

    void RefreshPicture();
    void CenterPictureHorz();
    void CenterPictureVert();
    void pbSetupScrollHoriz();
    void pbSetupScrollVert();

    // The status bar's text for the picture: "Image size: <width>x<height> " in pixels.
    QString sizeStatus() const;
    // The layout last applied, in twips.
    const PictureScroll& scrollLayout() const { return m_layout; }

    QLabel* const picPicture;
    // Both bars run from 0 to the scroll range in twips; a value v puts the picture's edge at -v.
    QScrollBar* const scrollHorz;
    QScrollBar* const scrollVert;
    QPushButton* const blox;
    // The picture before the last paste, load or effect.
    QImage imgUndo;
    // The placeholder shown when the clip has no picture.
    const QImage imgBlank;
    // The size of the picture shown, in twips.
    int PictureWidth = 0;
    int PictureHeight = 0;

Q_SIGNALS:
    // The picture's size changed: the editor refreshes its status bar from sizeStatus().
    void statusRefreshNeeded();
    // Status panel 3 while an effect runs.
    void panel3(const QString& text);
    // Every key pressed on the picture; Ctrl+V pastes as well.
    void keyPressed(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPicture(const QImage& picture);
    void runLayoutStep(void (PictureScroll::*step)());
    void applyLayout();
    void openDialog(const std::function<QWidget*(QWidget* editor)>& make);
    int toTwips(int pixels) const;
    int toPixels(int twips) const;

    ImageEffects& m_effects;
    std::function<bool()> m_programExiting;
    double m_twipsPerPixel = 15;
    QImage m_picture;
    PictureScroll m_layout;
    QPointer<QWidget> m_dialog;
};
