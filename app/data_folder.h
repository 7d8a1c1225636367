#pragma once

#include <QString>

// Makes `folder` (created if missing) the working directory, where the data files live.
// Returns the reason when it cannot.
[[nodiscard]] QString enterDataFolder(const QString &folder);
