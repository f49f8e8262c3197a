#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

#include <functional>

class ImageEffects;
class QLabel;
class QPushButton;

// What the brightness and colour-balance dialogs need from the clip editor that opens them.
struct EffectDialogHost {
    QWidget* editor = nullptr;                       // enabled and shown again when the dialog unloads
    QImage picture;                                  // the editor's picture, previewed reduced
    std::function<void(const QString&)> applyEffect; // the editor's ApplyEffect, run on OK
    std::function<bool()> programExiting;            // true while the program shuts down
};

// The part both effect dialogs share: a reduced copy of the editor's picture, a preview of the effect on it,
// OK hands the effect to the editor, Cancel or Escape closes without change. The dialog deletes itself when it
// unloads; it is made anew for each use.
class EffectPreviewDialog : public QDialog {
    Q_OBJECT

public:
    ~EffectPreviewDialog() override;

    // Scales width and height by the same factor so that they fit into the maximum size.
    static void ScaleToFit(float& width, float& height, float maxWidth, float maxHeight);

    // Recomputes the preview from the reduced picture; does nothing while a preview is being computed.
    void Preview();
    // Closes the dialog without applying anything; the editor is enabled and shown again unless the program
    // is shutting down.
    void unload();

    // OK: the editor is shown, the dialog hidden, the editor applies the effect, then the dialog unloads.
    void accept() override;
    // Cancel and Escape.
    void reject() override;

    const QImage& originalPicture() const { return m_original; }
    const QImage& previewPicture() const { return m_temp; }

    QLabel* const imgOriginal;
    QLabel* const picTemp;
    QLabel* const picBox;
    QLabel* const lblPreview;
    QPushButton* const cmdOK;
    QPushButton* const cmdCancel;

    // Design size of the preview; larger pictures are reduced to fit into it.
    static constexpr int kPreviewWidth = 320;
    static constexpr int kPreviewHeight = 240;

protected:
    // effectName: the effect previewed ("brightness", "colors"); editorCommand: what OK hands to the editor.
    EffectPreviewDialog(ImageEffects& effects, EffectDialogHost host, QString effectName, QString editorCommand,
                        QWidget* parent);

    // Prepares the preview and shows the unchanged reduced picture; subclasses call it once their controls exist.
    void load();

    ImageEffects& effects() { return m_effects; }

    void closeEvent(QCloseEvent* event) override;

private:
    void preparePreview();
    void showInPreview(const QImage& picture);
    int twipsToPixels(int twips) const;

    ImageEffects& m_effects;
    EffectDialogHost m_host;
    QString m_effectName;
    QString m_editorCommand;
    QImage m_original;
    QImage m_temp;
    bool m_unloaded = false;
};
