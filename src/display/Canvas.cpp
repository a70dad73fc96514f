#include "display/Canvas.h"

#include "core/Exceptions.h"
#include "core/Letterbox.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace
{
// Coordinates beyond this are pulled in before the ellipse arithmetic; only the 640 x 480
// frame is ever drawn on, so the visible result does not change.
constexpr qint64 kCoordinateLimit = qint64(1) << 27;
// Past this many rectangles the changed region is kept as its bounding rectangle.
constexpr int kMaxChangedRects = 48;
// Texts kept shaped per font; past this many they are all forgotten and shaped again.
constexpr qsizetype kMaxShapedTexts = 4096;

QColor toQColor(ColorValue c)
{
    return QColor(redOf(c), greenOf(c), blueOf(c));
}
// The pixel of colour `c` on the 32-bit surface.
QRgb rgbOf(ColorValue c)
{
    return qRgb(redOf(c), greenOf(c), blueOf(c));
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

// The device pixels a glyph covers (or a text's, for texts drawn with lines), as runs along
// rows, relative to its origin.  Glyphs are drawn without anti-aliasing, so a pixel is covered
// or not, and drawing a glyph in a colour sets exactly these pixels to it.
struct GlyphSpan {
    int y = 0;
    int x = 0;
    int length = 0;
};
struct GlyphMask {
    std::vector<GlyphSpan> spans;
};
// A glyph's mask at its place in a text, relative to the text's origin (the device pixel of
// the baseline at its left edge).
struct PlacedGlyph {
    const GlyphMask* mask = nullptr;
    int x = 0;
    int y = 0;
};

// A text as the current font lays it out, measured and shaped once: its width, its ink and, for
// a scaled surface, its glyphs in the font at the device size, each at its place in the frame
// times the scale; and, once drawn, the masks of those glyphs at their places.
struct ShapedText {
    int width = 0;
    QRect ink;             // relative to the baseline at the text's left edge
    QList<QGlyphRun> runs; // device pixels relative to the baseline at the text's left edge
    bool maskMade = false;
    bool masked = false; // the glyphs' pixels are `glyphs` (else they are drawn each time)
    std::vector<PlacedGlyph> glyphs;
    std::shared_ptr<const GlyphMask> whole; // the text's own mask, when it has lines
};

namespace
{
std::atomic<bool> glyphMasksOn{true};
} // namespace

struct Canvas::Private {
    QImage* image = nullptr; // the surface's pixels
    QImage* dc = nullptr;    // the same, while drawing on it
    // Its pixels, the buffer the painter draws into too (taken once the image is detached).
    uchar* pixels = nullptr;
    qsizetype bytesPerLine = 0;
    QSize deviceSize; // the image's
    QPainter painter;
    QRect bounds;     // the frame, in frame units
    double scale = 1; // device pixels per frame unit
    QRegion changed;

    // The Qt font of the current FontSpec, remade when the FontSpec changes, with the texts shaped in
    // it (the exercises draw the same few texts again at every step); the shaped texts are
    // forgotten when the font changes.
    std::optional<FontSpec> fontOf;
    QFont font;
    std::optional<QFontMetrics> metrics;
    QHash<QString, ShapedText> shaped;
    // The fonts of the shaped glyphs at the device size (a font engine each, made once).
    QList<std::pair<QRawFont, QRawFont>> deviceFonts;
    // The masks of their glyphs, per device font (the index in deviceFonts) and glyph.
    std::unordered_map<quint64, GlyphMask> glyphMasks;
    std::unordered_set<quint64> unmaskableGlyphs;
    // The rows of the last ellipse drawn, relative to its box: they depend on the box's size and
    // the outline's width alone, and the Dot exercise draws one size of dot at every step.
    struct EllipseShape {
        qint64 width = -1, height = -1, pen = -1;
        std::vector<std::pair<Span, Span>> rows; // the outline's outer and inner edges, a row each
    } ellipse;

    // The frame units [left, right) x [top, bottom), clipped to the frame (maybe empty).
    QRect clipped(qint64 left, qint64 top, qint64 right, qint64 bottom) const
    {
        left = std::max<qint64>(left, bounds.left());
        top = std::max<qint64>(top, bounds.top());
        right = std::min<qint64>(right, bounds.right() + 1);
        bottom = std::min<qint64>(bottom, bounds.bottom() + 1);
        if (left >= right || top >= bottom)
            return {};
        return QRect(int(left), int(top), int(right - left), int(bottom - top));
    }
    void fill(qint64 left, qint64 top, qint64 right, qint64 bottom, const QColor& color)
    {
        const QRect r = clipped(left, top, right, bottom);
        if (r.isEmpty())
            return;
        paint().fillRect(zrv::deviceRectOf(r, scale), color);
        note(r);
    }
    // Device pixels [left, right) of row y, written straight into the image (a shape drawn
    // row by row would otherwise cost a call of the painter per row).
    void fillDevice(qint64 left, qint64 y, qint64 right, QRgb color)
    {
        left = std::max<qint64>(left, 0);
        right = std::min<qint64>(right, deviceSize.width());
        if (left < right && y >= 0 && y < deviceSize.height()) {
            QRgb* row = reinterpret_cast<QRgb*>(pixels + qsizetype(y) * bytesPerLine);
            std::fill(row + left, row + right, color);
        }
    }

    // Takes the surface's pixels for drawing unless they are taken.  Shapes and masked texts
    // are written into them straight; the painter is put on the image only for what needs it
    // (paint()), which a step of the Dot or Block exercise does not.
    void begin()
    {
        if (dc)
            return;
        if (!image || image->isNull())
            throw InvalidOperation(QStringLiteral("Canvas does not allow drawing"));
        dc = image;
        pixels = dc->bits();
        bytesPerLine = dc->bytesPerLine();
        deviceSize = dc->size();
    }
    // The painter on the image, put there the first time a drawing needs it.
    QPainter& paint()
    {
        if (!painter.isActive()) {
            if (!dc || !painter.begin(dc))
                throw InvalidOperation(QStringLiteral("Canvas does not allow drawing"));
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setRenderHint(QPainter::TextAntialiasing, false);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
        }
        return painter;
    }

    // The metrics of `f` on the held device context.
    const QFontMetrics& metricsOf(const FontSpec& f);
    // `font` at the device size.
    QRawFont deviceFont(const QRawFont& font)
    {
        for (const auto& [frame, device] : deviceFonts)
            if (frame == font)
                return device;
        QRawFont device = font;
        device.setPixelSize(font.pixelSize() * scale);
        deviceFonts.append({font, device});
        return device;
    }
    // `text` shaped in `f`.
    ShapedText& shape(const FontSpec& f, const QString& text);
    void drawScaledText(qint64 x, qint64 baseline, const ShapedText& text, const QColor& color);
    // Finds what the glyphs of `text` cover; leaves it unmasked when they draw anything but
    // whole pixels of the pen's colour or reach beyond where they were looked for.
    void makeMask(ShapedText& text);
    // What `runs`, drawn with their origin at device pixel (0, 0), cover within `area` (relative
    // to that origin); false when they draw anything but whole pixels of the pen's colour, or
    // at the area's edge.
    static bool maskOf(const QList<QGlyphRun>& runs, const QRect& area, GlyphMask& mask);
    // The box `box` (device pixels, clipped to `clip`, may be empty) filled with `background`,
    // then the masked glyphs with their origin at device pixel `origin` in `color`, clipped to
    // `clip`; row by row.
    void paintMasked(const QRect& box, QRgb background, const ShapedText& text, QPoint origin, QRgb color,
                     const QRect& clip);

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

int Canvas::fontPixelSize(int points)
{
    qint64 p = points;
    if (p == 0)
        p = FontSpec().size;
    if (p < 0)
        p = -p;
    const qint64 pixels = (p * 96 * 2 + 72) / 144; // p * 96 / 72, rounded
    return int(std::clamp<qint64>(pixels, 1, MaxFontPixels));
}

Canvas::Canvas(QImage* image, double scale, QSize units) : d(std::make_unique<Private>())
{
    d->image = image;
    d->scale = scale;
    d->bounds = QRect(QPoint(0, 0), units);
}

Canvas::~Canvas()
{
    release();
}

void Canvas::release()
{
    if (!d->dc)
        return;
    if (d->painter.isActive())
        d->painter.end();
    d->dc = nullptr;
}

bool Canvas::isPainting() const
{
    return d->dc != nullptr;
}

QRegion Canvas::takeChangedRegion()
{
    QRegion r;
    std::swap(r, d->changed);
    return r;
}

void Canvas::rectangle(int x1, int y1, int x2, int y2)
{
    d->begin();
    const qint64 l = std::min(x1, x2), r = std::max(x1, x2);
    const qint64 t = std::min(y1, y2), b = std::max(y1, y2);
    if (l == r || t == b)
        return;
    if (brush.style == bsSolid && r - l > 2 && b - t > 2)
        d->fill(l + 1, t + 1, r - 1, b - 1, toQColor(brush.color));
    const QColor penColor = toQColor(pen.color);
    d->fill(l, t, r, t + 1, penColor);         // top
    d->fill(l, b - 1, r, b, penColor);         // bottom
    d->fill(l, t + 1, l + 1, b - 1, penColor); // left
    d->fill(r - 1, t + 1, r, b - 1, penColor); // right
}

void Canvas::ellipse(int x1, int y1, int x2, int y2)
{
    d->begin();
    auto limit = [](int v) { return std::clamp<qint64>(v, -kCoordinateLimit, kCoordinateLimit); };
    const qint64 l = limit(std::min(x1, x2)), r = limit(std::max(x1, x2));
    const qint64 t = limit(std::min(y1, y2)), b = limit(std::max(y1, y2));
    if (l == r || t == b)
        return;
    const QColor penColor = toQColor(pen.color);
    const QColor brushColor = toQColor(brush.color);
    const bool filled = brush.style == bsSolid;
    scaledEllipse(l, t, r, b, penColor, filled ? std::optional<QColor>(brushColor) : std::nullopt);
}

void Canvas::scaledEllipse(qint64 l, qint64 t, qint64 r, qint64 b, const QColor& pen,
                           const std::optional<QColor>& brush)
{
    // The same integer shape at the device resolution: the box's edges on the device grid, the
    // one-unit outline as wide as a frame pixel is there.
    const double s = d->scale;
    const qint64 dl = zrv::deviceEdgeOf(l, s), dr = zrv::deviceEdgeOf(r, s);
    const qint64 dt = zrv::deviceEdgeOf(t, s), db = zrv::deviceEdgeOf(b, s);
    const qint64 pen_px = std::max<qint64>(1, zrv::deviceEdgeOf(1, s));
    // Worked out at the box's place for a large box, of which only some rows may be on the frame.
    const EllipseRows outer(dl, dt, dr, db), inner(dl + pen_px, dt + pen_px, dr - pen_px, db - pen_px);
    const bool hollow = dr - dl > 2 * pen_px && db - dt > 2 * pen_px;
    constexpr qint64 kShapeRowsKept = 4096;
    Private::EllipseShape& shape = d->ellipse;
    const bool kept = db - dt <= kShapeRowsKept && dr - dl <= kShapeRowsKept;
    if (kept && (shape.width != dr - dl || shape.height != db - dt || shape.pen != pen_px)) {
        shape = {dr - dl, db - dt, pen_px, {}};
        const EllipseRows o(0, 0, shape.width, shape.height),
            i(pen_px, pen_px, shape.width - pen_px, shape.height - pen_px);
        shape.rows.reserve(size_t(shape.height));
        for (qint64 y = 0; y < shape.height; ++y)
            shape.rows.emplace_back(o.row(y), hollow ? i.row(y) : Span{});
    }
    const QRect frame = zrv::deviceRectOf(d->bounds, s);
    const qint64 first = std::max<qint64>(dt, frame.top());
    const qint64 last = std::min<qint64>(db, frame.bottom() + 1);
    const qint64 minX = frame.left(), maxX = frame.right() + 1;
    const QRgb penRgb = pen.rgb(), brushRgb = brush ? brush->rgb() : 0;
    auto clipped = [&](qint64 a, qint64 z, QRgb c, qint64 y) {
        d->fillDevice(std::max(a, minX), y, std::min(z, maxX), c);
    };
    for (qint64 y = first; y < last; ++y) {
        Span o, i;
        if (kept) {
            const auto& [keptOuter, keptInner] = shape.rows[size_t(y - dt)];
            o = {keptOuter.left + dl, keptOuter.right + dl};
            i = {keptInner.left + dl, keptInner.right + dl};
        } else {
            o = outer.row(y);
            i = hollow && !o.empty() ? inner.row(y) : Span{};
        }
        if (o.empty())
            continue;
        if (i.empty()) {
            clipped(o.left, o.right + 1, penRgb, y);
            continue;
        }
        clipped(o.left, i.left, penRgb, y);
        clipped(i.right + 1, o.right + 1, penRgb, y);
        if (brush)
            clipped(i.left, i.right + 1, brushRgb, y);
    }
    // In frame units: the box, which the device rows lie within.
    d->note(QRect(
        QPoint(int(std::max<qint64>(l, -kCoordinateLimit)), int(std::max<qint64>(t, -kCoordinateLimit))),
        QPoint(int(std::min<qint64>(r, kCoordinateLimit) - 1),
               int(std::min<qint64>(b, kCoordinateLimit) - 1))));
}

namespace
{
QFont qtFontOf(const FontSpec& f)
{
    QFont font(f.name.left(Canvas::MaxFontNameLength));
    font.setPixelSize(Canvas::fontPixelSize(f.size));
    font.setBold(f.style & fsBold);
    font.setItalic(f.style & fsItalic);
    font.setUnderline(f.style & fsUnderline);
    font.setStrikeOut(f.style & fsStrikeOut);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}
} // namespace

const QFontMetrics& Canvas::Private::metricsOf(const FontSpec& f)
{
    // The colour is no part of the Qt font: texts stay shaped when only it changes.
    if (!fontOf || fontOf->name != f.name || fontOf->size != f.size || fontOf->style != f.style) {
        fontOf = f;
        font = qtFontOf(f);
        metrics.reset();
        shaped.clear();
        deviceFonts.clear();
        glyphMasks.clear();
        unmaskableGlyphs.clear();
    }
    if (!metrics)
        metrics.emplace(font, dc); // an image: the same resolution for every context
    return *metrics;
}

ShapedText& Canvas::Private::shape(const FontSpec& f, const QString& text)
{
    const QFontMetrics& fm = metricsOf(f);
    auto it = shaped.find(text);
    if (it != shaped.end())
        return *it;
    if (shaped.size() >= kMaxShapedTexts)
        shaped.clear();
    ShapedText t;
    t.width = std::max(0, fm.horizontalAdvance(text));
    if (!text.isEmpty())
        t.ink = fm.boundingRect(text);
    if (!text.isEmpty()) {
        QTextLayout layout(text, font, dc);
        layout.setCacheEnabled(true);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setNumColumns(int(text.size()));
        line.setPosition(QPointF(0, 0));
        layout.endLayout();
        // Glyph positions are relative to the line's top in frame units: each goes to its place
        // relative to the baseline, times the scale, in the font at the device size.
        t.runs = layout.glyphRuns();
        for (QGlyphRun& run : t.runs) {
            QList<QPointF> positions = run.positions();
            for (QPointF& p : positions)
                p = QPointF(std::round(p.x() * scale), std::round((p.y() - line.ascent()) * scale));
            run.setPositions(positions);
            run.setRawFont(deviceFont(run.rawFont()));
        }
    }
    return *shaped.emplace(text, std::move(t));
}

void Canvas::Private::drawScaledText(qint64 x, qint64 baseline, const ShapedText& text, const QColor& color)
{
    QPainter& p = paint();
    p.setPen(color);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QPointF origin(double(zrv::deviceEdgeOf(x, scale)), double(zrv::deviceEdgeOf(baseline, scale)));
    for (const QGlyphRun& run : text.runs)
        p.drawGlyphRun(origin, run);
    p.setCompositionMode(QPainter::CompositionMode_Source);
}

bool Canvas::Private::maskOf(const QList<QGlyphRun>& runs, const QRect& area, GlyphMask& mask)
{
    constexpr qint64 kMaxMaskPixels = qint64(1) << 24;
    if (area.isEmpty() || qint64(area.width()) * area.height() > kMaxMaskPixels)
        return false;
    QImage image(area.size(), QImage::Format_RGB32);
    if (image.isNull())
        return false;
    constexpr QRgb kOff = 0xFF000000u, kOn = 0xFFFFFFFFu;
    image.fill(kOff);
    {
        // The same painter state as the surface's: glyphs at whole device pixels, moved by
        // whole pixels, cover the same pixels.
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setPen(QColor(kOn));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        const QPointF origin(double(-area.left()), double(-area.top()));
        for (const QGlyphRun& run : runs)
            p.drawGlyphRun(origin, run);
    }
    const int width = image.width(), height = image.height();
    mask.spans.clear();
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        const bool edgeRow = y == 0 || y == height - 1;
        for (int x = 0; x < width;) {
            if (row[x] == kOff) {
                ++x;
                continue;
            }
            if (row[x] != kOn || edgeRow || x == 0)
                return false;
            const int start = x;
            while (x < width && row[x] == kOn)
                ++x;
            if (x == width || row[x] != kOff)
                return false;
            mask.spans.push_back({y + area.top(), start + area.left(), x - start});
        }
    }
    return true;
}

void Canvas::Private::makeMask(ShapedText& text)
{
    text.maskMade = true;
    if (text.runs.isEmpty())
        return;
    bool lines = false;
    for (const QGlyphRun& run : std::as_const(text.runs))
        lines = lines || run.underline() || run.overline() || run.strikeOut();
    if (lines) {
        // The lines go with the run: the text's pixels as a whole, looked for around its box
        // and ink in frame units with a margin, at the device scale, and a device margin more.
        const QFontMetrics& fm = *metrics;
        const QRect frameArea =
            (QRect(0, -fm.ascent(), std::max(1, text.width), std::max(1, fm.height())) | text.ink)
                .adjusted(-4, -4, 4, 4);
        const int margin_px = int(std::ceil(scale)) + 2;
        const QRect device =
            zrv::deviceRectOf(frameArea, scale).adjusted(-margin_px, -margin_px, margin_px, margin_px);
        auto mask = std::make_shared<GlyphMask>();
        if (!maskOf(text.runs, device, *mask))
            return;
        text.whole = mask;
        text.glyphs = {{mask.get(), 0, 0}};
        text.masked = true;
        return;
    }
    // Each glyph's mask once per device font, looked for in a square three times the font's size.
    std::vector<PlacedGlyph> glyphs;
    for (const QGlyphRun& run : std::as_const(text.runs)) {
        const QRawFont font = run.rawFont();
        const auto fontIndex = quint64(std::find_if(deviceFonts.cbegin(), deviceFonts.cend(),
                                                    [&](const auto& fonts) { return fonts.second == font; }) -
                                       deviceFonts.cbegin());
        const int size_px = int(std::ceil(font.pixelSize()));
        const QRect area(-size_px - 4, -2 * size_px - 4, 3 * size_px + 8, 3 * size_px + 8);
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size(); ++i) {
            const quint64 key = (fontIndex << 32) | indexes[i];
            auto it = glyphMasks.find(key);
            if (it == glyphMasks.end()) {
                if (unmaskableGlyphs.count(key))
                    return;
                QGlyphRun one;
                one.setRawFont(font);
                one.setGlyphIndexes({indexes[i]});
                one.setPositions({QPointF(0, 0)});
                GlyphMask mask;
                if (!maskOf({one}, area, mask)) {
                    unmaskableGlyphs.insert(key);
                    return;
                }
                it = glyphMasks.emplace(key, std::move(mask)).first;
            }
            const QPointF at = positions[i];
            if (at != QPointF(std::round(at.x()), std::round(at.y())))
                return; // shaped at whole device pixels, so not expected
            if (!it->second.spans.empty())
                glyphs.push_back({&it->second, int(at.x()), int(at.y())});
        }
    }
    text.glyphs = std::move(glyphs);
    text.masked = true;
}

void Canvas::Private::paintMasked(const QRect& box, QRgb background, const ShapedText& text, QPoint origin,
                                  QRgb color, const QRect& clip)
{
    auto row = [this](int y) { return reinterpret_cast<QRgb*>(pixels + qsizetype(y) * bytesPerLine); };
    const QRect fillBox = box & clip;
    if (!fillBox.isEmpty()) {
        for (int y = fillBox.top(); y <= fillBox.bottom(); ++y)
            std::fill_n(row(y) + fillBox.left(), fillBox.width(), background);
    }
    const int clipLeft = clip.left(), clipRight = clip.right() + 1;
    for (const PlacedGlyph& glyph : text.glyphs) {
        const int gx = origin.x() + glyph.x, gy = origin.y() + glyph.y;
        for (const GlyphSpan& span : glyph.mask->spans) {
            const int y = gy + span.y;
            if (y < clip.top() || y > clip.bottom())
                continue;
            const int x0 = std::max(clipLeft, gx + span.x);
            const int x1 = std::min(clipRight, gx + span.x + span.length);
            if (x0 < x1)
                std::fill(row(y) + x0, row(y) + x1, color);
        }
    }
}

int Canvas::textWidth(const QString& text)
{
    d->begin();
    return d->shape(font, text).width;
}

int Canvas::textHeight(const QString&)
{
    d->begin();
    return std::max(1, d->metricsOf(font).height());
}

void Canvas::textOut(int x, int y, const QString& text)
{
    d->begin();
    const QFontMetrics& fm = d->metricsOf(font);
    ShapedText& shaped = d->shape(font, text);
    const qint64 w = shaped.width;
    const qint64 h = std::max(1, fm.height());
    if (glyphMasksOn.load(std::memory_order_relaxed) && !shaped.maskMade)
        d->makeMask(shaped);
    const bool masked = shaped.masked && glyphMasksOn.load(std::memory_order_relaxed);
    // With the glyphs' mask the box is filled together with them, row by row.
    QRect box;
    if (brush.style == bsSolid) {
        if (masked) {
            const QRect r = d->clipped(x, y, x + w, y + h);
            if (!r.isEmpty())
                box = zrv::deviceRectOf(r, d->scale);
            d->note(r);
        } else {
            d->fill(x, y, x + w, y + h, toQColor(brush.color));
        }
    }
    const QRect frame = zrv::deviceRectOf(d->bounds, d->scale);
    auto fillBoxOnly = [&] {
        if (!box.isEmpty())
            d->paint().fillRect(box, toQColor(brush.color));
    };
    if (text.isEmpty())
        return fillBoxOnly();
    // The strokes may reach out of the box (italics, overhangs): the ink's bounds, with a
    // margin, are drawn and count as changed too.  All in 64 bits, relative to the surface.
    const QRect ink = shaped.ink.adjusted(-2, -2, 2, 2);
    const qint64 baseline = qint64(y) + fm.ascent();
    const qint64 left = std::max<qint64>(std::min<qint64>(x, qint64(x) + ink.left()), d->bounds.left());
    const qint64 top = std::max<qint64>(std::min<qint64>(y, baseline + ink.top()), d->bounds.top());
    const qint64 right =
        std::min<qint64>(std::max<qint64>(x + w, qint64(x) + ink.right() + 1), d->bounds.right() + 1);
    const qint64 bottom =
        std::min<qint64>(std::max<qint64>(y + h, baseline + ink.bottom() + 1), d->bounds.bottom() + 1);
    if (left >= right || top >= bottom)
        return fillBoxOnly(); // nothing of it on the surface
    const QRect area(int(left), int(top), int(right - left), int(bottom - top));
    const qint64 originX = x - left, originY = baseline - top;
    if (std::abs(originX) > (qint64(1) << 30) || std::abs(originY) > (qint64(1) << 30))
        return fillBoxOnly();
    const qint64 deviceX = zrv::deviceEdgeOf(x, d->scale), deviceY = zrv::deviceEdgeOf(baseline, d->scale);
    constexpr qint64 kMaxOrigin = qint64(1) << 28;
    if (masked && std::abs(deviceX) < kMaxOrigin && std::abs(deviceY) < kMaxOrigin) {
        d->paintMasked(box, rgbOf(brush.color), shaped, QPoint(int(deviceX), int(deviceY)), rgbOf(font.color),
                       frame);
    } else {
        fillBoxOnly();
        // One-bit glyphs go straight onto the 32-bit surface, clipped to the frame.
        d->paint().setClipRect(frame);
        d->drawScaledText(x, baseline, shaped, toQColor(font.color));
        d->paint().setClipping(false);
    }
    d->note(area);
}

void Canvas::setGlyphMasks(bool enabled)
{
    glyphMasksOn.store(enabled, std::memory_order_relaxed);
}
