#pragma once

#include "core/Font.h"

#include <QRegion>
#include <QString>
#include <memory>
#include <optional>

class QColor;
class QImage;
enum BrushStyle { bsSolid, bsClear };

// The canvas of the 640 x 480 frame surface, drawn through QPainter at the surface's scale.
// Every call's coordinates are frame units: rectangle and ellipse edges fall on
// round(x * scale) device pixels, and text is drawn in the font at the device size with each
// glyph at its place in the frame times the scale; what the canvas reports (text extents,
// changed region) stays in frame units of the unscaled font.  Attributes may be set at any time.
// The first drawing or measuring call puts a painter on the surface and keeps it there until
// release(), which presenting does first.  If the painter cannot be put there, the call throws
// InvalidOperation("Canvas does not allow drawing").
//
// Text is drawn without anti-aliasing: the exercises draw the same text over itself in another
// colour with a clear brush, and only one-colour strokes cover earlier strokes exactly (blended
// edges would leave fringes of the old colour and grow bolder with every redraw).  So a text's
// glyphs cover whole pixels, the same ones whatever the colours: they are drawn once, the first
// time the text is, and what they cover is kept with the shaped text; every later drawing sets
// those pixels to the colour (with the box's fill, row by row), as drawing the glyphs would.
//
// Font sizes are kept as set; what is drawn uses round(|Size| * 96 / 72) pixels, clamped to
// 1 .. MaxFontPixels (size 0 draws at the default 8 points), and at most 31 characters of
// the name.  So absurd settings still give positive, bounded metrics.
class Canvas
{
  public:
    struct Brush {
        ColorValue color = 0xFFFFFF; // white, as a new canvas
        BrushStyle style = bsSolid;
    } brush;
    struct Pen {
        ColorValue color = 0; // black, one unit wide, solid
    } pen;
    FontSpec font; // the toolkit default on a new canvas

    static constexpr int MaxFontPixels = 480;
    static constexpr int MaxFontNameLength = 31;
    // The pixel height that a font size in points is drawn at.
    static int fontPixelSize(int points);

    // Draws on `image`, `scale` device pixels a frame unit, a frame of `units` frame units.
    Canvas(QImage* image, double scale, QSize units);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Pixels x1 <= x < x2, y1 <= y < y2: a one-pixel pen outline, filled with the brush unless
    // the brush is clear.
    void rectangle(int x1, int y1, int x2, int y2);
    // The ellipse inscribed in the same box, outlined with the pen and filled with the brush.
    void ellipse(int x1, int y1, int x2, int y2);
    // The text with its box's top-left corner at (x, y) in font and font.color.  A solid brush
    // first fills the box (TextWidth x TextHeight) with brush.color; a clear brush leaves the
    // pixels between the strokes as they were.
    void textOut(int x, int y, const QString& text);
    // Size of the text's box in whole pixels in the current font; positive and bounded even
    // for absurd font sizes.
    int textWidth(const QString& text);
    int textHeight(const QString& text);
    // Whether texts are drawn from what their glyphs cover, found at their first drawing (the
    // default), or by drawing their glyphs again at every call (the same pixels, slower; the
    // benchmarks compare the two).  For every canvas of the program.
    static void setGlyphMasks(bool enabled);

    // Takes the painter off the surface; does nothing when it is not there.  Attributes stay.
    void release();
    bool isPainting() const;

    // The frame units touched since the last call (clipped to the frame); resets it.  Presenting
    // uses it to repaint only what changed.
    QRegion takeChangedRegion();

  private:
    void scaledEllipse(qint64 l, qint64 t, qint64 r, qint64 b, const QColor& pen,
                       const std::optional<QColor>& brush);

    struct Private;
    std::unique_ptr<Private> d;
};
