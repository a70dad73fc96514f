#pragma once

#include <QLabel>

// A label that acts as a web link: underlined, hand cursor, and a click signal.  It is drawn in
// the palette's link colour, in its visited-link colour once clicked, and can be reached with
// Tab and pressed with Enter or Space.
class LinkLabel : public QLabel
{
    Q_OBJECT
  public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

    bool visited() const { return foregroundRole() == QPalette::LinkVisited; }

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void click();

    bool m_pressed = false;
};
