#pragma once

#include <QIcon>
#include <QPushButton>

namespace zrv
{

// The exit button's glyph: a red cross of 18 x 18, with a grey variant for the disabled state.
QIcon closeGlyph();
// The font button's glyph, 24 x 22: a small window holding the letter F three times, in three
// colours and styles.
QIcon fontGlyph();

} // namespace zrv

// A push button that draws its glyph at a fixed distance from its left edge and the caption
// after it, like the classic bitmap buttons.
class GlyphButton : public QPushButton
{
    Q_OBJECT
  public:
    explicit GlyphButton(const QString& text, QWidget* parent = nullptr);

    int margin() const { return m_margin_px; }
    void setMargin(int margin_px) { m_margin_px = margin_px; }
    int spacing() const { return m_spacing_px; }
    void setSpacing(int spacing_px) { m_spacing_px = spacing_px; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int m_margin_px = 8;
    int m_spacing_px = 4;
};
