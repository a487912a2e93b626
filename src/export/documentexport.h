#pragma once

#include "export/goodsdocx.h"
#include "export/totalsxlsx.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace dm {

// Opens a finished document for the user; false when nothing could open it.
using DocumentOpener = std::function<bool(const QString& path)>;

// The desktop's default application for the file (QDesktopServices; needs a
// QGuiApplication).
bool openWithDesktop(const QString& path);
// Replaces the opener used by the exports (tests); returns the previous one.
DocumentOpener setDocumentOpener(DocumentOpener opener);

// Writes bytes to path; the old file, if any, stays until the new one is complete.
// Throws FileError with the path.
void saveDocument(const QString& path, const QByteArray& bytes);

// The exports of the goods and totals pages: build the document, write it into a fresh
// folder under the system's temporary folder (left for the user, who saves or prints
// from there) and open it. Return the path of the document; throw FileError with the
// path when it cannot be made or opened.
QString exportGoodsDocument(const GoodsExportTable& table);
QString exportTotalsWorkbook(const TotalsExportTable& table);

} // namespace dm
