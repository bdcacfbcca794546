#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The error classes of the program. Code that cannot deal with an error throws one of these
// and lets it travel; the application's exception-handler slot reports it.
class Exception : public std::exception
{
public:
    explicit Exception(QString message);

    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    QString m_message;
    QByteArray m_what;
};

// Floating-point errors of a calculation.
class EMathError : public Exception
{
public:
    using Exception::Exception;
};

class EInvalidOp : public EMathError
{
public:
    EInvalidOp() : EMathError(QStringLiteral("Invalid floating point operation")) {}
    using EMathError::EMathError;
};

class EZeroDivide : public EMathError
{
public:
    EZeroDivide() : EMathError(QStringLiteral("Floating point division by zero")) {}
    using EMathError::EMathError;
};

class EOverflow : public EMathError
{
public:
    EOverflow() : EMathError(QStringLiteral("Floating point overflow")) {}
    using EMathError::EMathError;
};

class EUnderflow : public EMathError
{
public:
    EUnderflow() : EMathError(QStringLiteral("Floating point underflow")) {}
    using EMathError::EMathError;
};

// A text that does not read as the number or date it should be.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

// The HTTP client's own errors, such as a request started while another one runs.
class EHttpException : public Exception
{
public:
    using Exception::Exception;
};

// The silent abort: dropped by the application without a message.
class EAbort : public Exception
{
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
    using Exception::Exception;
};

// File errors.
class EFileError : public Exception
{
public:
    using Exception::Exception;
};

class EFCreateError : public EFileError
{
public:
    using EFileError::EFileError;
};

class EFOpenError : public EFileError
{
public:
    using EFileError::EFileError;
};

class EWriteError : public EFileError
{
public:
    using EFileError::EFileError;
};
