// Usage texts of stratactl and of each of its commands.
#pragma once

#include <QString>

// The tool's overview for an empty command, otherwise the command's usage.
// An unknown command gives an empty text.
QString helpText(const QString &command);
