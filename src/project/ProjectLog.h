#pragma once

#include <QLoggingCategory>

// Diagnostics of the clip project: the container, the project reader and writer, the main window.
Q_DECLARE_LOGGING_CATEGORY(lcProject)
