#include "ImagingLog.h"

Q_LOGGING_CATEGORY(lcImaging, "zolpane.imaging")
