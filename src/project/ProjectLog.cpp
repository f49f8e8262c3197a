#include "project/ProjectLog.h"

Q_LOGGING_CATEGORY(lcProject, "zolpane.project")
