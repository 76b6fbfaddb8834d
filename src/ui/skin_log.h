// Debug output of the skin toolkit: unknown tags and attributes, files that fail to build.
// Quiet unless QT_LOGGING_RULES="dtu.skin.debug=true".
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSkin)
