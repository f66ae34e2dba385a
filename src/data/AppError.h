#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// Base of every failure the application reports to the user. The message is the
// text shown by the general error report (which adds a final full stop when needed).
class AppError : public std::exception {
public:
    explicit AppError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A text that is not a number in the locale's notation.
class ConvertError : public AppError {
public:
    using AppError::AppError;
    static ConvertError notAFloat(const QString& text)
    {
        return ConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    }
};

// Overflow, division by zero or an invalid operation in amount arithmetic.
class ArithmeticError : public AppError {
public:
    using AppError::AppError;
};

// The database refused an operation (a write, a delete, an open).
class DatabaseError : public AppError {
public:
    using AppError::AppError;
};

// A write refused because another program changed, deleted or wrote the same row first.
class ConflictError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// The connection to a database server was lost: the server restarted or went away. The
// next write opens a new connection. `outcomeUnknown`: it was lost while a write was being
// concluded, and whether the database took the write cannot be known.
class ConnectionLostError : public DatabaseError {
public:
    ConnectionLostError(QString message, bool outcomeUnknown)
        : DatabaseError(std::move(message)), outcomeUnknown_(outcomeUnknown)
    {
    }
    bool outcomeUnknown() const { return outcomeUnknown_; }

private:
    bool outcomeUnknown_;
};

// A command abandoned after its failure was already shown to the user: the command
// guard swallows it without any further message.
class AbortError : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};
