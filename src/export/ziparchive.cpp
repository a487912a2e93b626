#include "export/ziparchive.h"

#include "app/errors.h"

#include <zip.h>

namespace dm {

namespace {

// error belongs to libzip (an archive's or a source's); owned errors are released here.
[[noreturn]] void fail(const char* what, zip_error_t* error, bool owned = false) {
    const QString text = QStringLiteral("zip: ") + QString::fromUtf8(what) + QStringLiteral(": ") +
                         QString::fromUtf8(zip_error_strerror(error));
    if (owned)
        zip_error_fini(error);
    throw FileError(text);
}

} // namespace

ZipWriter::ZipWriter() {
    zip_error_t error;
    zip_error_init(&error);
    m_source = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!m_source)
        fail("buffer", &error, true);
    m_archive = zip_open_from_source(m_source, ZIP_TRUNCATE, &error);
    if (!m_archive) {
        zip_source_free(m_source);
        fail("open", &error, true);
    }
    // The buffer outlives the archive: finish() reads the bytes from it after closing.
    zip_source_keep(m_source);
    zip_error_fini(&error);
}

ZipWriter::~ZipWriter() {
    if (m_archive)
        zip_discard(m_archive);
    if (m_source)
        zip_source_free(m_source);
}

void ZipWriter::add(const QString& name, QByteArray data) {
    if (!m_archive)
        throw FileError(QStringLiteral("zip: archive already finished"));
    const QByteArray& kept = m_data.emplace_back(std::move(data));
    zip_source_t* entry =
        zip_source_buffer(m_archive, kept.constData(), zip_uint64_t(kept.size()), 0);
    if (!entry)
        fail("entry", zip_get_error(m_archive));
    const QByteArray utf8Name = name.toUtf8();
    const zip_int64_t index =
        zip_file_add(m_archive, utf8Name.constData(), entry, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (index < 0) {
        zip_source_free(entry);
        fail("add", zip_get_error(m_archive));
    }
    // Level 1 deflates these repetitive XML parts almost as well as the default, much faster.
    if (zip_set_file_compression(m_archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 1) < 0)
        fail("compression", zip_get_error(m_archive));
}

QByteArray ZipWriter::finish() {
    if (!m_archive)
        throw FileError(QStringLiteral("zip: archive already finished"));
    if (zip_close(m_archive) < 0)
        fail("close", zip_get_error(m_archive));
    m_archive = nullptr;
    m_data.clear();

    QByteArray bytes;
    zip_error_t* error = zip_source_error(m_source);
    if (zip_source_open(m_source) < 0)
        fail("reopen", error);
    if (zip_source_seek(m_source, 0, SEEK_END) < 0) {
        zip_source_close(m_source);
        fail("seek", error);
    }
    const zip_int64_t size = zip_source_tell(m_source);
    if (size < 0 || zip_source_seek(m_source, 0, SEEK_SET) < 0) {
        zip_source_close(m_source);
        fail("seek", error);
    }
    bytes.resize(qsizetype(size));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const zip_int64_t n =
            zip_source_read(m_source, bytes.data() + done, zip_uint64_t(bytes.size() - done));
        if (n <= 0) {
            zip_source_close(m_source);
            fail("read", error);
        }
        done += qsizetype(n);
    }
    zip_source_close(m_source);
    return bytes;
}

} // namespace dm
