#pragma once

#include <QtGlobal>
#include <array>

// Screen layouts and highlight orders of the three exercises, on the 640 x 480 screen.
// Everything here is pure arithmetic on 32-bit integers; every division truncates toward zero.
// A text height h or width w below 1 is taken as 1, so nothing divides by zero.
namespace zrv
{

constexpr int MaxBloks = 800;                     // size of Bloks / ShowOrder (1-based 1..800)
using OrderTable = std::array<int, MaxBloks + 1>; // index 0 unused

// ---- Dot ----

constexpr std::array<int, 5> DotColumnsInit{0, 32, 192, 448, 608}; // 1-based
constexpr std::array<int, 5> DotRowsInit{0, 24, 144, 336, 456};

// Grid cell (column, row), both 1-based, of dot position 1..8; false (outputs untouched) for any
// other number.
bool dotPositionCell(int position, int* column, int* row);
// The order of boxTip index 0..4 (four-point orders stored twice over), 1-based [1..8];
// false for any other index (then the caller keeps its old DotOrder).
bool dotOrderFor(int tipIndex, std::array<int, 9>* order);
// Number of passive dots in the first frame: 8 for index 3 and 4, else 4.
int dotPassiveCount(int tipIndex);

// ---- Pyramid ----

// Number of blocks n for layout 0 "Üçgen" / 1 "Tek Satır" / any other (0). n may be 0 or
// negative when the font is too large: then no block is laid out.  n never exceeds MaxBloks.
int pyramidCount(int layout, int h, int w, int letterCount, int lineCount);
// Characters per line of block i (1-based): letterCount + 2(i - 1).
int pyramidLetters(int i, int letterCount);
// Top of block i: "Üçgen" (i - 1)(lineCount + 1)h, "Tek Satır" 240 - (h * lineCount) div 2.
int pyramidTop(int layout, int i, int h, int lineCount);
// Fills showOrder[1..] for n blocks and direction 0 "Tek Yön" (1..n) or 1 "Çift Yön"
// (1..n..2); any other direction is "Tek Yön".  Returns OrderLength: n, 2n - 2, or 0 when
// n <= 0.  n is clamped so the order fits the table: at most 800 blocks for "Tek Yön" and
// at most 401 for "Çift Yön" (2 * 401 - 2 = 800); blocks past that are never highlighted.
int pyramidOrder(int n, int direction, OrderTable* showOrder);

// ---- Block ----

struct BlockGrid {
    int rows = 0;
    int cols = 0;
    bool empty() const { return rows <= 0 || cols <= 0; }
};

// rows/cols for layout 0 "Ayrı bloklar" / 1 "Bitişik bloklar" / any other (empty grid).
// When rows * cols (or 2 * rows for direction 2 "Zigzag") would exceed 800, fewer rows are laid
// out so that it fits.  lineCount <= 0, letterCount <= 0, or no room for a whole row or column
// gives an empty grid {0, 0}.
BlockGrid blockGridFor(int layout, int direction, int h, int w, int letterCount, int lineCount);
// Block number of row i, column j (1-based): (j - 1) * rows + i.
int blockNumber(const BlockGrid& g, int i, int j);
// X (column centre) and Y (row top) of the cell for the layout; 0 for any other layout.
int blockCenterX(int layout, int j, int w, int letterCount);
int blockTop(int layout, int i, int h, int lineCount);
// Fills showOrder for path 0 "Dikey", 1 "Yatay", 2 "Zigzag" and returns OrderLength.  An empty
// grid, any other direction, or a grid whose blocks or path would not fit the 800-entry tables
// gives 0 and writes nothing.
int blockPath(const BlockGrid& g, int direction, OrderTable* showOrder);

} // namespace zrv
