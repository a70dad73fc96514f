#include "display/Canvas.h"

#include "core/Exceptions.h"
#include "display/DXDraw.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>

namespace
{
// Coordinates beyond this are pulled in before the ellipse arithmetic; only the 640 x 480
// surface is ever drawn on, so the visible result does not change.
constexpr qint64 kCoordinateLimit = qint64(1) << 27;
// Past this many rectangles the changed region is kept as its bounding rectangle.
constexpr int kMaxChangedRects = 48;

QColor toQColor(TColor c)
{
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

// The pixels [left, right] of one row inside an ellipse, or none.
struct Span {
    qint64 left = 1;
    qint64 right = 0;
    bool empty() const { return left > right; }
};

// The ellipse inscribed in the box [x1, x2) x [y1, y2): pixel (x, y) belongs to it when its
// centre lies inside, (X / W)^2 + (Y / H)^2 <= 1 with X = 2x + 1 - (x1 + x2) and
// Y = 2y + 1 - (y1 + y2) in half pixels.  Integer arithmetic, so the shape is exact and
// symmetric.
class EllipseRows
{
  public:
    EllipseRows(qint64 x1, qint64 y1, qint64 x2, qint64 y2) : m_x1(x1), m_y1(y1), m_x2(x2), m_y2(y2) {}

    Span row(qint64 y) const
    {
        if (y < m_y1 || y >= m_y2)
            return {};
        const __int128 w = m_x2 - m_x1, h = m_y2 - m_y1;
        const __int128 yy = 2 * y + 1 - (m_y1 + m_y2);
        const __int128 rhs = w * w * (h * h - yy * yy); // X^2 * H^2 must not exceed it
        if (rhs < 0)
            return {};
        const double ratio = double(yy) / double(h);
        qint64 x = qint64(std::floor(double(w) * std::sqrt(std::max(0.0, 1.0 - ratio * ratio)))) + 2;
        const qint64 parity = (m_x1 + m_x2 + 1) & 1; // X has the parity of x1 + x2 + 1
        if ((x & 1) != parity)
            --x;
        while (x >= 0 && __int128(x) * x * h * h > rhs)
            x -= 2;
        if (x < 0)
            return {};
        return {(m_x1 + m_x2 - 1 - x) / 2, (m_x1 + m_x2 - 1 + x) / 2};
    }

  private:
    qint64 m_x1, m_y1, m_x2, m_y2;
};
} // namespace

struct TDirectDrawSurfaceCanvas::Private {
    TDirectDrawSurface* surface = nullptr;
    QPaintDevice* dc = nullptr;
    QPainter painter;
    QRect bounds;
    QRegion changed;

    // The Qt font of the current TFont, remade when the TFont changes.
    std::optional<TFont> fontOf;
    QFont font;
    std::optional<QFontMetrics> metrics;
    QImage scratch; // where text strokes are drawn before they go on the surface

    void fill(qint64 left, qint64 top, qint64 right, qint64 bottom, const QColor& color)
    {
        left = std::max<qint64>(left, bounds.left());
        top = std::max<qint64>(top, bounds.top());
        right = std::min<qint64>(right, bounds.right() + 1);
        bottom = std::min<qint64>(bottom, bounds.bottom() + 1);
        if (left >= right || top >= bottom)
            return;
        const QRect r(int(left), int(top), int(right - left), int(bottom - top));
        painter.fillRect(r, color);
        note(r);
    }

    // Takes a device context unless one is held.
    void takeDC()
    {
        if (dc)
            return;
        QPaintDevice* got = surface ? surface->GetDC() : nullptr;
        if (!got)
            throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
        if (!painter.begin(got)) {
            surface->ReleaseDC(got);
            throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        bounds = QRect(0, 0, got->width(), got->height());
        dc = got;
    }

    // The metrics of `f` on the held device context.
    const QFontMetrics& metricsOf(const TFont& f);

    void note(const QRect& r)
    {
        const QRect c = r & bounds;
        if (c.isEmpty())
            return;
        changed += c;
        if (changed.rectCount() > kMaxChangedRects)
            changed = changed.boundingRect();
    }
};

int TDirectDrawSurfaceCanvas::FontPixelSize(int points)
{
    qint64 p = points;
    if (p == 0)
        p = TFont().Size;
    if (p < 0)
        p = -p;
    const qint64 pixels = (p * 96 * 2 + 72) / (72 * 2); // p * 96 / 72, rounded
    return int(std::clamp<qint64>(pixels, 1, MaxFontPixels));
}

TDirectDrawSurfaceCanvas::TDirectDrawSurfaceCanvas(TDirectDrawSurface* surface)
    : d(std::make_unique<Private>())
{
    d->surface = surface;
}

TDirectDrawSurfaceCanvas::~TDirectDrawSurfaceCanvas()
{
    Release();
}

void TDirectDrawSurfaceCanvas::Release()
{
    if (!d->dc)
        return;
    d->painter.end();
    QPaintDevice* dc = d->dc;
    d->dc = nullptr;
    d->metrics.reset(); // measured on that context
    if (d->surface)
        d->surface->ReleaseDC(dc);
}

bool TDirectDrawSurfaceCanvas::HasDeviceContext() const
{
    return d->dc != nullptr;
}

QRegion TDirectDrawSurfaceCanvas::TakeChangedRegion()
{
    QRegion r;
    std::swap(r, d->changed);
    return r;
}

void TDirectDrawSurfaceCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    d->takeDC();
    const qint64 l = std::min(x1, x2), r = std::max(x1, x2);
    const qint64 t = std::min(y1, y2), b = std::max(y1, y2);
    if (l == r || t == b)
        return;
    if (Brush.Style == bsSolid && r - l > 2 && b - t > 2)
        d->fill(l + 1, t + 1, r - 1, b - 1, toQColor(Brush.Color));
    const QColor pen = toQColor(Pen.Color);
    d->fill(l, t, r, t + 1, pen);         // top
    d->fill(l, b - 1, r, b, pen);         // bottom
    d->fill(l, t + 1, l + 1, b - 1, pen); // left
    d->fill(r - 1, t + 1, r, b - 1, pen); // right
}

void TDirectDrawSurfaceCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    d->takeDC();
    auto limit = [](int v) { return std::clamp<qint64>(v, -kCoordinateLimit, kCoordinateLimit); };
    const qint64 l = limit(std::min(x1, x2)), r = limit(std::max(x1, x2));
    const qint64 t = limit(std::min(y1, y2)), b = limit(std::max(y1, y2));
    if (l == r || t == b)
        return;
    const EllipseRows rows(l, t, r, b);
    const QColor pen = toQColor(Pen.Color);
    const QColor brush = toQColor(Brush.Color);
    const bool filled = Brush.Style == bsSolid;
    const qint64 first = std::max<qint64>(t, d->bounds.top());
    const qint64 last = std::min<qint64>(b, d->bounds.bottom() + 1);
    for (qint64 y = first; y < last; ++y) {
        const Span s = rows.row(y);
        if (s.empty())
            continue;
        // The outline: the pixels of this row that lack a neighbour above or below, and the
        // two ends.  The narrower neighbour row lies within this one.
        const Span up = rows.row(y - 1), down = rows.row(y + 1);
        Span inner;
        if (!up.empty() && !down.empty())
            inner = {std::max(up.left, down.left), std::min(up.right, down.right)};
        if (inner.empty()) {
            d->fill(s.left, y, s.right + 1, y + 1, pen);
            continue;
        }
        const qint64 leftEnd = std::max(s.left, inner.left - 1);
        const qint64 rightStart = std::min(s.right, inner.right + 1);
        d->fill(s.left, y, leftEnd + 1, y + 1, pen);
        d->fill(rightStart, y, s.right + 1, y + 1, pen);
        if (filled && leftEnd + 1 < rightStart)
            d->fill(leftEnd + 1, y, rightStart, y + 1, brush);
    }
}

namespace
{
QFont qtFontOf(const TFont& f)
{
    QFont font(f.Name.left(TDirectDrawSurfaceCanvas::MaxFontNameLength));
    font.setPixelSize(TDirectDrawSurfaceCanvas::FontPixelSize(f.Size));
    font.setBold(f.Style & fsBold);
    font.setItalic(f.Style & fsItalic);
    font.setUnderline(f.Style & fsUnderline);
    font.setStrikeOut(f.Style & fsStrikeOut);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}
} // namespace

const QFontMetrics& TDirectDrawSurfaceCanvas::Private::metricsOf(const TFont& f)
{
    if (!fontOf || !(*fontOf == f)) {
        fontOf = f;
        font = qtFontOf(f);
        metrics.reset();
    }
    if (!metrics)
        metrics.emplace(font, dc);
    return *metrics;
}

int TDirectDrawSurfaceCanvas::TextWidth(const QString& text)
{
    d->takeDC();
    return std::max(0, d->metricsOf(Font).horizontalAdvance(text));
}

int TDirectDrawSurfaceCanvas::TextHeight(const QString&)
{
    d->takeDC();
    return std::max(1, d->metricsOf(Font).height());
}

void TDirectDrawSurfaceCanvas::TextOut(int x, int y, const QString& text)
{
    d->takeDC();
    const QFontMetrics& fm = d->metricsOf(Font);
    const qint64 w = std::max(0, fm.horizontalAdvance(text));
    const qint64 h = std::max(1, fm.height());
    if (Brush.Style == bsSolid)
        d->fill(x, y, x + w, y + h, toQColor(Brush.Color));
    if (text.isEmpty())
        return;
    // The strokes may reach out of the box (italics, overhangs): the ink's bounds, with a
    // margin, are drawn and count as changed too.  All in 64 bits, relative to the surface.
    const QRect ink = fm.boundingRect(text).adjusted(-2, -2, 2, 2);
    const qint64 baseline = qint64(y) + fm.ascent();
    const qint64 left = std::max<qint64>(std::min<qint64>(x, qint64(x) + ink.left()), d->bounds.left());
    const qint64 top = std::max<qint64>(std::min<qint64>(y, baseline + ink.top()), d->bounds.top());
    const qint64 right =
        std::min<qint64>(std::max<qint64>(x + w, qint64(x) + ink.right() + 1), d->bounds.right() + 1);
    const qint64 bottom =
        std::min<qint64>(std::max<qint64>(y + h, baseline + ink.bottom() + 1), d->bounds.bottom() + 1);
    if (left >= right || top >= bottom)
        return; // nothing of it on the surface
    const QRect area(int(left), int(top), int(right - left), int(bottom - top));
    const qint64 originX = x - left, originY = baseline - top;
    if (std::abs(originX) > (qint64(1) << 30) || std::abs(originY) > (qint64(1) << 30))
        return;
    // Qt draws one-bit glyphs wrongly straight onto 16-bit images (rows land elsewhere on the
    // surface), so the strokes are drawn on a 32-bit scratch image, fully opaque or fully clear,
    // and laid over the surface from there.
    if (d->scratch.width() < area.width() || d->scratch.height() < area.height())
        d->scratch =
            QImage(std::max(area.width(), d->scratch.width()), std::max(area.height(), d->scratch.height()),
                   QImage::Format_ARGB32_Premultiplied);
    {
        QPainter strokes(&d->scratch);
        strokes.setCompositionMode(QPainter::CompositionMode_Source);
        strokes.fillRect(QRect(QPoint(0, 0), area.size()), Qt::transparent);
        strokes.setCompositionMode(QPainter::CompositionMode_SourceOver);
        strokes.setRenderHint(QPainter::TextAntialiasing, false);
        strokes.setClipRect(QRect(QPoint(0, 0), area.size()));
        strokes.setFont(d->font);
        strokes.setPen(toQColor(Font.Color));
        strokes.drawText(QPoint(int(originX), int(originY)), text);
    }
    d->painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    d->painter.drawImage(area.topLeft(), d->scratch, QRect(QPoint(0, 0), area.size()));
    d->painter.setCompositionMode(QPainter::CompositionMode_Source);
    d->note(area);
}
