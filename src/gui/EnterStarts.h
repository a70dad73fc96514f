#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Enter starts what a page of the settings window is for: pressed on the page (where no
// control of it takes Enter first) or on the tab bar it was chosen with, while it is shown.
class EnterStarts : public QObject
{
  public:
    EnterStarts(QWidget* page, std::function<void()> start);
    // Enter on `widget` (the tab bar) starts it too while the page is shown.
    void alsoFrom(QWidget* widget);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* m_page;
    std::function<void()> m_start;
};
