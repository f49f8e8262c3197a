#include "editor/frmProgress.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

frmProgress::frmProgress(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), prgProgress(new QProgressBar(this)),
      lblInfo(new QLabel(this)), lblWait(new QLabel(QStringLiteral("Plese wait.."), this)) {
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("Zolpane"));
    prgProgress->setObjectName(QStringLiteral("prgProgress"));
    prgProgress->setRange(0, 100);
    prgProgress->setValue(0);
    prgProgress->setTextVisible(false);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblWait->setObjectName(QStringLiteral("lblWait"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblInfo);
    layout->addWidget(prgProgress);
    layout->addWidget(lblWait);
    setFixedWidth(320);
}

void frmProgress::effectProgress(double percent) {
    const int value = std::isfinite(percent) ? int(std::lround(std::clamp(percent, 0.0, 100.0))) : 0;
    if (value == prgProgress->value())
        return;
    prgProgress->setValue(value);
    if (prgProgress->isVisible())
        prgProgress->repaint();
}
