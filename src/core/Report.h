#pragma once

#include <QString>
#include <exception>
#include <functional>

namespace zrv
{

// The program's title: the caption of every message box and error box.
QString applicationTitle();
void setApplicationTitle(const QString& title);

enum class ReportKind { Error, Message };

// Shows `message` in the standard error box: the message with a full stop added, an error
// icon and the application title as caption.
void showException(const QString& message);

// Shows `text` in a message box with one OK button and the application title as caption.
void showMessage(const QString& text);

// Tests replace the modal boxes by a hook that records what would have been shown.  An empty
// hook restores the real boxes.  The text passed is the text shown (with the full stop added
// for errors).
using ReportHook = std::function<void(ReportKind kind, const QString& text)>;
void setReportHook(ReportHook hook);

// What shows a report when no hook is set: the program installs the message boxes
// (gui/MessageBoxes.h); without a presenter a report goes to the log.
void setReportPresenter(ReportHook presenter);

// Shows an error in the standard error box: the message of an Exception, the description of
// any other.
void showError(const std::exception& error);

// Where the program calls code that raises its errors (the settings list, the display, the
// drawing): runs `call`; an error it raises is shown with showError and comes back as false,
// so that the caller skips the rest of its step.  No exception goes on into the event loop.
template <class Call> bool attempt(Call&& call)
{
    try {
        call();
        return true;
    } catch (const std::exception& error) {
        showError(error);
        return false;
    }
}

} // namespace zrv
