#pragma once

#include <QString>
#include <exception>

// Failures travel as exceptions that carry a message text.  An exception that leaves an event
// handler, the exercise window's show step or a timer tick is caught at that boundary
// (see Report.h) and shown in the standard error box; the rest of the handler is skipped and
// the program goes on.
class Exception : public std::exception
{
  public:
    explicit Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

  private:
    QString m_message;
    QByteArray m_utf8;
};

// The macro's arguments are a class name and its base, which take no parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define ZRV_DECLARE_EXCEPTION(Name, Base)                                                                    \
    class Name : public Base                                                                                 \
    {                                                                                                        \
      public:                                                                                                \
        using Base::Base;                                                                                    \
    };
// NOLINTEND(bugprone-macro-parentheses)

// A text that should have been an integer ("'%s' is not a valid integer value").
ZRV_DECLARE_EXCEPTION(ConvertError, Exception)
// A line of the settings list that does not exist ("List index out of bounds (%d)").
ZRV_DECLARE_EXCEPTION(ListError, Exception)
// The settings file cannot be written ("Cannot create file %s").
ZRV_DECLARE_EXCEPTION(FileCreateError, Exception)
// An operation that the object's state does not allow ("Canvas does not allow drawing").
ZRV_DECLARE_EXCEPTION(InvalidOperation, Exception)
// The display cannot be had or kept: no screen, a screen too small, no memory for the frame.
ZRV_DECLARE_EXCEPTION(DisplayError, Exception)

#undef ZRV_DECLARE_EXCEPTION
