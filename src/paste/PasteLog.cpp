#include "paste/PasteLog.h"

Q_LOGGING_CATEGORY(lcPaste, "zolpane.paste")
