#pragma once

#include <QWidget>

// A stage of the exercise window that shows a screen of its own over the whole window (a
// reading test) and lasts until the screen says it is done.  The window takes the display
// for it as for an exercise, so the screen stays on; Escape ends it with abort().
class StageScreen : public QWidget
{
    Q_OBJECT
  public:
    using QWidget::QWidget;

    // The window closes before the screen is done (Escape, the program ending): it keeps what it
    // has to as given up.  `byEscape`: the person's Escape rather than the program.
    virtual void abort(bool byEscape) = 0;

  signals:
    // The screen is through: the routine goes on with its next stage.
    void done();
};
