#pragma once

#include <QString>

namespace dm::platform {

// Copies source over target through a temporary file in the target's folder, which
// replaces the target only once the copy is complete and on the disk: a failed copy
// leaves the old target (or none) in place. False with the reason, naming the file,
// in *error.
bool copyFileReplacing(const QString& source, const QString& target, QString* error = nullptr);

} // namespace dm::platform
