#pragma once

#include "imaging/EffectProgressObserver.h"

#include <QWidget>

class QLabel;
class QProgressBar;

// The small modeless window shown while an image effect runs: what is being done and how far it has got.
class frmProgress final : public QWidget, public EffectProgressObserver {
    Q_OBJECT

public:
    explicit frmProgress(QWidget* parent = nullptr);

    // Moves the bar (0 ... 100) and paints it at once: the effect keeps the event loop busy meanwhile.
    void effectProgress(double percent) override;

    QProgressBar* const prgProgress;
    QLabel* const lblInfo;
    QLabel* const lblWait;
};
