#pragma once

#include <QWidget>

class QEventLoop;

// Base of the program's two windows (the settings window and the exercise window).  Each is a
// top-level window of its own and so has its own taskbar entry; the application has no hidden
// window that would carry another.  Minimizing is left to the window system, which minimizes
// the form's own window; the form's windowState() then records it.  Adds the toolkit's modal
// showing.
class ProgramWindow : public QWidget
{
    Q_OBJECT
  public:
    explicit ProgramWindow(QWidget* parent = nullptr);
    ~ProgramWindow() override;

    // Number of display forms that exist now, shared by all of them.
    static int DisplayFormCount();

    // Shows the form application-modal (other windows are disabled) and returns when it has
    // closed, like a dialog's exec().
    void ShowModal();
    // Marks a form shown with ShowModal for closing and returns at once: the close (closeEvent,
    // hiding) happens afterwards in the modal loop, never inside the caller.
    void RequestClose();
    bool IsModalRunning() const;

  protected:
    // Ends a modal loop when the form is hidden; subclasses that override it call this one.
    void hideEvent(QHideEvent* event) override;

  private:
    QEventLoop* m_modalLoop = nullptr;
    bool m_closeRequested = false;
};
