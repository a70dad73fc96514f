#pragma once

#include <QLabel>

// A label that acts as a web link: navy, underlined, hand cursor, and a click signal.
class TLinkLabel : public QLabel
{
    Q_OBJECT
  public:
    explicit TLinkLabel(const QString& text, QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool m_pressed = false;
};
