#include "core/Layout.h"

#include <algorithm>

namespace zrv
{
namespace
{

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;

int AtLeastOne(int v)
{
    return v < 1 ? 1 : v;
}

} // namespace

// ---- Dot ----

bool dotPositionCell(int position, int* column, int* row)
{
    // Positions 1-4 go clockwise round the outer rectangle from the top left corner,
    // 5-8 counter-clockwise round the inner one from its bottom right corner.
    static constexpr std::array<int, 9> Columns{0, 1, 4, 4, 1, 3, 3, 2, 2};
    static constexpr std::array<int, 9> Rows{0, 1, 1, 4, 4, 3, 2, 2, 3};
    if (position < 1 || position > 8)
        return false;
    if (column)
        *column = Columns[position];
    if (row)
        *row = Rows[position];
    return true;
}

bool dotOrderFor(int tipIndex, std::array<int, 9>* order)
{
    static constexpr std::array<std::array<int, 9>, 5> Orders{{
        {0, 1, 2, 3, 4, 1, 2, 3, 4},
        {0, 1, 2, 4, 3, 1, 2, 4, 3},
        {0, 1, 4, 2, 3, 1, 4, 2, 3},
        {0, 1, 2, 4, 3, 5, 8, 6, 7},
        {0, 1, 4, 2, 3, 5, 6, 8, 7},
    }};
    if (tipIndex < 0 || tipIndex > 4)
        return false;
    if (order)
        *order = Orders[tipIndex];
    return true;
}

int dotPassiveCount(int tipIndex)
{
    return (tipIndex == 3 || tipIndex == 4) ? 8 : 4;
}

// ---- Pyramid ----

int pyramidCount(int layout, int h, int w, int letterCount, int lineCount)
{
    h = AtLeastOne(h);
    w = AtLeastOne(w);
    int n = 0;
    if (layout == 0) {
        if (lineCount + 1 < 1)
            return 0;
        n = (ScreenHeight / h) / (lineCount + 1);
    } else if (layout == 1) {
        n = (ScreenWidth / 2 / w) - letterCount - 2;
    }
    return std::min(n, MaxBloks);
}

int pyramidLetters(int i, int letterCount)
{
    return letterCount + 2 * (i - 1);
}

int pyramidTop(int layout, int i, int h, int lineCount)
{
    h = AtLeastOne(h);
    if (layout == 0)
        return (i - 1) * (lineCount + 1) * h;
    if (layout == 1)
        return ScreenHeight / 2 - (h * lineCount) / 2;
    return 0;
}

int pyramidOrder(int n, int direction, OrderTable* showOrder)
{
    if (n <= 0 || !showOrder)
        return 0;
    OrderTable& order = *showOrder;
    if (direction != 1) {
        n = std::min(n, MaxBloks);
        for (int i = 1; i <= n; ++i)
            order[i] = i;
        return n;
    }
    n = std::min(n, (MaxBloks + 2) / 2);
    for (int i = 1; i <= n; ++i)
        order[i] = i;
    // The way back, n - 1 down to 2; block 1 starts the next cycle, so the order holds 2n - 2
    // entries and nothing is written past them.
    for (int j = 1; j <= n - 2; ++j)
        order[n + j] = n - j;
    return 2 * n - 2;
}

// ---- Block ----

BlockGrid blockGridFor(int layout, int direction, int h, int w, int letterCount, int lineCount)
{
    if (lineCount <= 0 || letterCount <= 0)
        return {};
    h = AtLeastOne(h);
    w = AtLeastOne(w);
    BlockGrid g;
    if (layout == 0) {
        g.rows = (ScreenHeight / h) / (lineCount + 1);
        g.cols = (ScreenWidth / w) / (letterCount + 1);
    } else if (layout == 1) {
        g.rows = (ScreenHeight / h) / lineCount;
        g.cols = (ScreenWidth / w) / letterCount;
    }
    if (g.empty())
        return {};
    // Keep to the tables: drop rows at the bottom until every block, and the Zigzag path, fits.
    g.rows = std::min(g.rows, MaxBloks / g.cols);
    if (direction == 2)
        g.rows = std::min(g.rows, MaxBloks / 2);
    return g;
}

int blockNumber(const BlockGrid& g, int i, int j)
{
    return (j - 1) * g.rows + i;
}

int blockCenterX(int layout, int j, int w, int letterCount)
{
    w = AtLeastOne(w);
    if (layout == 0)
        return (j - 1) * (letterCount + 1) * w + ((letterCount + 1) * w) / 2;
    if (layout == 1)
        return (j - 1) * letterCount * w + (letterCount * w) / 2;
    return 0;
}

int blockTop(int layout, int i, int h, int lineCount)
{
    h = AtLeastOne(h);
    if (layout == 0)
        return (i - 1) * (lineCount + 1) * h;
    if (layout == 1)
        return (i - 1) * lineCount * h;
    return 0;
}

int blockPath(const BlockGrid& g, int direction, OrderTable* showOrder)
{
    if (g.empty() || !showOrder || direction < 0 || direction > 2)
        return 0;
    // A grid that does not fit the tables (not made by BlockGridFor) gets no path at all.
    if (g.cols > MaxBloks || g.rows > MaxBloks / g.cols)
        return 0;
    if (direction == 2 && g.rows > MaxBloks / 2)
        return 0;
    OrderTable& order = *showOrder;
    int k = 0;
    switch (direction) {
    case 0:
        for (int j = 1; j <= g.cols; ++j)
            for (int i = 1; i <= g.rows; ++i)
                order[++k] = blockNumber(g, i, j);
        break;
    case 1:
        for (int i = 1; i <= g.rows; ++i)
            for (int j = 1; j <= g.cols; ++j)
                order[++k] = blockNumber(g, i, j);
        break;
    case 2:
        for (int i = 1; i <= g.rows; ++i) {
            order[++k] = blockNumber(g, i, 1);
            order[++k] = blockNumber(g, i, g.cols);
        }
        break;
    }
    return k;
}

} // namespace zrv
