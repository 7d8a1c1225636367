#include "core/logging.h"

// Silent unless enabled, e.g. QT_LOGGING_RULES="vorel.*.info=true".
Q_LOGGING_CATEGORY(lcUi, "vorel.ui", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPrinter, "vorel.printer", QtWarningMsg)
