#include "gui/GlyphButton.h"

#include <QFont>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace zrv
{
namespace
{

QPixmap CrossPixmap(const QColor& fill, const QColor& edge)
{
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath cross;
    cross.moveTo(3, 3);
    cross.lineTo(15, 15);
    cross.moveTo(15, 3);
    cross.lineTo(3, 15);
    p.strokePath(cross, QPen(edge, 5.0, Qt::SolidLine, Qt::RoundCap));
    p.strokePath(cross, QPen(fill, 3.0, Qt::SolidLine, Qt::RoundCap));
    return pixmap;
}

QPixmap FontGlyphPixmap()
{
    QPixmap pixmap(24, 22);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    // The window: frame, blue title bar, white client area.
    const QRect frame(0, 0, 23, 21);
    p.fillRect(frame, Qt::white);
    p.fillRect(QRect(1, 1, 22, 4), QColor(0x00, 0x00, 0x80));
    p.fillRect(QRect(19, 2, 2, 2), QColor(0xC0, 0xC0, 0xC0));
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawRect(frame);

    const auto drawF = [&p](const QColor& color, int pixelSize, bool bold, bool italic, bool underline, int x,
                            int y) {
        QFont font(QStringLiteral("Times New Roman"));
        font.setPixelSize(pixelSize);
        font.setBold(bold);
        font.setItalic(italic);
        font.setUnderline(underline);
        p.setFont(font);
        p.setPen(color);
        p.drawText(QPoint(x, y), QStringLiteral("F"));
    };
    drawF(QColor(0xC0, 0x00, 0x00), 14, true, false, false, 2, 18);
    drawF(QColor(0x00, 0x80, 0x00), 10, false, true, false, 11, 13);
    drawF(QColor(0x00, 0x00, 0xC0), 9, false, false, true, 15, 17);
    p.end();
    return pixmap;
}

// An icon drawn the first time it is shown, not when it is made: the font button's glyph looks
// up three fonts, which the settings window's first appearance does not need (the button is on
// a page shown later).  Every mode and state is the drawn pixmap's, as QIcon(pixmap) gives it.
class DrawnWhenShown : public QIconEngine
{
  public:
    DrawnWhenShown(QPixmap (*draw)(), QSize size) : m_draw(draw), m_size(size) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return m_size.boundedTo(size); }
    QIconEngine* clone() const override { return new DrawnWhenShown(*this); }

  private:
    const QIcon& icon()
    {
        if (m_icon.isNull())
            m_icon = QIcon(m_draw());
        return m_icon;
    }

    QPixmap (*m_draw)();
    QSize m_size;
    QIcon m_icon;
};

} // namespace

QIcon closeGlyph()
{
    QIcon icon;
    icon.addPixmap(CrossPixmap(QColor(0xE0, 0x10, 0x10), QColor(0x80, 0x00, 0x00)), QIcon::Normal);
    icon.addPixmap(CrossPixmap(QColor(0xC0, 0xC0, 0xC0), QColor(0x80, 0x80, 0x80)), QIcon::Disabled);
    return icon;
}

QIcon fontGlyph()
{
    return QIcon(new DrawnWhenShown(FontGlyphPixmap, QSize(24, 22)));
}

} // namespace zrv

GlyphButton::GlyphButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void GlyphButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The bevel and focus frame from the style; glyph and caption placed here.
    QStyleOptionButton bevel = option;
    bevel.text.clear();
    bevel.icon = QIcon();
    p.drawControl(QStyle::CE_PushButtonBevel, bevel);

    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int shift_px = isDown() ? 1 : 0;
    int x = m_margin_px + shift_px;
    if (!icon().isNull()) {
        const QSize glyph = iconSize();
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        const QPixmap pixmap = icon().pixmap(glyph, devicePixelRatio(), mode);
        const int y = (height() - glyph.height()) / 2 + shift_px;
        p.drawPixmap(x, y, pixmap);
        x += glyph.width() + m_spacing_px;
    }
    const QRect textRect(x, contents.top() + shift_px, width() - x, contents.height());
    style()->drawItemText(&p, textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                          isEnabled(), text(), QPalette::ButtonText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
