#pragma once

#include <QString>

#include <exception>

namespace dm {

// Errors that the user must see: each carries the program's own text, ready to show.
class UserError : public std::exception {
public:
    explicit UserError(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}
    const QString& text() const { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};

// The data layer refused a value or failed to read or write the database.
class DataError : public UserError {
public:
    using UserError::UserError;
};

// A file could not be read, written or decoded (the text names the file).
class FileError : public UserError {
public:
    using UserError::UserError;
};

// A scale could not be reached or answered wrongly.
class LinkError : public UserError {
public:
    using UserError::UserError;
};

} // namespace dm
