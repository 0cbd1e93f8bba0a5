// The exception tree rooted at Exception.
#pragma once
#include <QString>
#include <exception>

// Root of every exception the system raises; carries the message that the
// application's default handler shows.
class Exception : public std::exception {
public:
    explicit Exception(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& Message() const { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

#define KANDRIVEL_EXCEPTION(Name, Base) \
    class Name : public Base { \
    public: \
        using Base::Base; \
    };

KANDRIVEL_EXCEPTION(EAbort, Exception)
KANDRIVEL_EXCEPTION(EConvertError, Exception)
KANDRIVEL_EXCEPTION(EOutOfMemory, Exception)
KANDRIVEL_EXCEPTION(EInvalidOperation, Exception)
KANDRIVEL_EXCEPTION(EInvalidPointer, Exception)
KANDRIVEL_EXCEPTION(ERangeError, Exception)
KANDRIVEL_EXCEPTION(EListError, Exception)
KANDRIVEL_EXCEPTION(EStreamError, Exception)
KANDRIVEL_EXCEPTION(EFCreateError, EStreamError)
KANDRIVEL_EXCEPTION(EFOpenError, EStreamError)
KANDRIVEL_EXCEPTION(EReadError, EStreamError)
KANDRIVEL_EXCEPTION(EWriteError, EStreamError)
KANDRIVEL_EXCEPTION(EInOutError, Exception)
KANDRIVEL_EXCEPTION(EInvalidGraphic, Exception)
KANDRIVEL_EXCEPTION(EInvalidGraphicOperation, Exception)
KANDRIVEL_EXCEPTION(EPrinter, Exception)
KANDRIVEL_EXCEPTION(EOSError, Exception)
KANDRIVEL_EXCEPTION(EResNotFound, Exception)
