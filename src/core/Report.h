#pragma once

#include <QString>
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

// Runs `f`; an exception that leaves it is shown with ShowException and swallowed, so the
// caller (an event handler, the show step, a tick) goes on as the program expects.
void guarded(const std::function<void()>& f);

} // namespace zrv
