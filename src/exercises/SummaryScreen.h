#pragma once

#include <QWidget>

class QLabel;
struct RoutineSummary;

// The end of a routine: a calm dark screen over the whole window that says what the run did
// (the minutes against the day's goal, the days in a row, each exercise's pace and the runs to
// its next step) until Escape or Enter closes the window.
class SummaryScreen : public QWidget
{
    Q_OBJECT
  public:
    explicit SummaryScreen(QWidget* parent = nullptr);

    void setSummary(const RoutineSummary& summary);
    QString text() const; // what the screen says, a line each

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QLabel* m_title;
    QLabel* m_lines;
    QLabel* m_hint;
};
