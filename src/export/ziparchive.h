#pragma once

#include <QByteArray>
#include <QString>

#include <list>

struct zip;
struct zip_source;

namespace dm {

// A zip archive assembled in memory (the container of the office documents).
// Errors throw FileError with libzip's text.
class ZipWriter {
public:
    ZipWriter();
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // Adds one entry, deflated; the name uses "/" between folders.
    void add(const QString& name, QByteArray data);
    // The finished archive; the writer cannot be used afterwards.
    QByteArray finish();

private:
    zip_source* m_source = nullptr;
    zip* m_archive = nullptr;
    std::list<QByteArray> m_data; // libzip reads the entries only when the archive closes
};

} // namespace dm
