#include "startup/StartupLog.h"

Q_LOGGING_CATEGORY(lcStartup, "zolpane.startup")
