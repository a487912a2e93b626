#pragma once

#include <QString>

#include <functional>

namespace dm {

// Compacts the closed database file at path in place: a compacted copy is written to a
// new file in the same folder and renamed over the original in one step. On any failure
// the original stays exactly as it was, no temporary file is left behind, and *error
// (when given) holds the text for the user. Nobody may hold the file open meanwhile.
bool CompactDatabase(const QString& path, QString* error);

// Renames from to to, replacing an existing to in one step (POSIX rename semantics), with
// from synced to the disk first and the rename made durable.
bool replaceFile(const QString& from, const QString& to, QString* error);

namespace detail {
// CompactDatabase with the final rename supplied by the caller, so tests can make it fail.
using ReplaceFunction = std::function<bool(const QString& from, const QString& to, QString* error)>;
bool compactDatabase(const QString& path, QString* error, const ReplaceFunction& replace);
} // namespace detail

} // namespace dm
