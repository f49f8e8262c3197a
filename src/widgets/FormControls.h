#pragma once

#include <QLayout>
#include <QString>
#include <QWidget>

// A captioned control (option button, check box, ...) with its object name, added to a layout.
template <typename Control>
Control* addNamedControl(const char* name, const QString& caption, QWidget* parent, QLayout* layout) {
    auto* control = new Control(caption, parent);
    control->setObjectName(QLatin1String(name));
    layout->addWidget(control);
    return control;
}
