#include "imaging/ImagingLog.h"

Q_LOGGING_CATEGORY(lcImaging, "zolpane.imaging")
