#pragma once

#include <QString>

namespace dm::platform {

// Waits until the file's data has reached the disk. Returns false with the reason when
// the file cannot be opened or synced.
bool syncFileToDisk(const QString& path, QString* error = nullptr);

// Makes a rename or creation within folder durable (the folder's entry list reaches the
// disk). Errors are ignored: not every file system can sync a folder.
void syncFolderToDisk(const QString& folder);

} // namespace dm::platform
