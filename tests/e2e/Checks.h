#pragma once
// What the end-to-end tests check on screenshots and settings files.  Each check returns an
// empty text when all is well, else what is wrong (for QVERIFY2).

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMap>
#include <QRect>
#include <QString>

namespace e2e
{

class Desktop;
class Model;

// The ten colours of the colour selectors, by item index.
QRgb Colour(int index);

// A settings file: the 41 default lines with `changes` (line number: text), CR LF after each.
QByteArray SettingsFile(const QMap<int, QByteArray>& changes = {});
// The file as the program must have written it: exactly `expected`, 41 lines, each ending in
// CR LF.
QString CheckSettingsFile(const QByteArray& written, const QByteArray& expected);

// The bars around `box` (4:3, centred) are black, and inside it the screen shows no more
// colours than an exercise draws with (no blended edges).
QString CheckScaled(const QImage& shot, QRect box);

// The blocks that the Pyramid or Block exercise has laid out in the model: their text boxes,
// their dots and the order of highlighting.
struct TextLayout {
    struct Block {
        QRect box;  // the lines' boxes (monospace exercise font), a pixel of slack each side
        QPoint dot; // centre of the fixation dot when highlighted
        int letters = 0;
    };
    QList<Block> blocks;          // blocks[0] is block 1
    QList<int> order;             // block numbers in highlighting order
    bool onlyHighlighted = false; // "Tek Satır": only the highlighted block is visible
    QRgb back = 0, passive = 0, active = 0, dot = 0;
};
TextLayout LayoutOf(Model& model);

// One frame of a text exercise against its layout: nothing outside the blocks' boxes, passive
// text in every visible block, at most one highlighted block with active text over its dot.
// *highlighted: the block number highlighted (0: none).
QString CheckTextFrame(const QImage& frame, const TextLayout& layout, int* highlighted);

// What watching a text exercise on the screen saw.
struct HighlightWatch {
    QList<int> seen; // the blocks highlighted, in the order seen
    QImage moved;    // the screenshot in which the highlight was first seen to move
    QImage last;     // the last screenshot taken
    QString error;   // empty when all was well
};
// Takes screenshots until `wanted` highlights have been seen one after another (20 s at the
// most) and checks each against the layout in the frame `box`: a frame counts as wrong only
// three screenshots in a row, as a screenshot can fall between two presents of a tick.  The
// highlight must go along the layout's order, each one or two places on from the one before (a
// screenshot can miss a tick; there and back, "Çift Yön", a block has two places in it).
HighlightWatch WatchHighlights(const Desktop& desktop, QRect box, const TextLayout& layout, int wanted);

} // namespace e2e
