#pragma once

#include <QWidget>

class QLabel;

// The rest between the exercises of a routine: a calm dark screen over the whole window that
// asks the person to rest their eyes, counts the seconds down and names what follows.
class RestScreen : public QWidget
{
    Q_OBJECT
  public:
    explicit RestScreen(QWidget* parent = nullptr);

    // The exercise that follows the rest; empty when none does.
    void setNext(const QString& name);
    void setSecondsLeft(int seconds);
    QString countdownText() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QLabel* m_title;
    QLabel* m_countdown;
    QLabel* m_next;
};
