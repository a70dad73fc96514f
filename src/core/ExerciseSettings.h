#pragma once

#include "core/Color.h"
#include "core/Font.h"
#include "core/Pace.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>

// Everything one exercise run needs, taken from the settings window when the run starts.  The
// numbers are the settings window's selector indices where a selector stands behind them; -1
// stands for "nothing selected", which the exercises treat as their code always has.
struct ExerciseSettings {
    enum Kind : int { Dot = 0, Pyramid = 1, Block = 2 };

    int exercise = Dot; // Kind; any other number draws nothing
    // Dot: the order, 0..4 ("1 2 3 4" .. "1 4 2 3 5 6 8 7").  Pyramid: 0 "Üçgen", 1 "Tek Satır".
    // Block: 0 "Ayrı bloklar", 1 "Bitişik bloklar".  -1: none.
    int type = 0;
    // Pyramid: 0 "Tek Yön", 1 "Çift Yön".  Block: 0 "Dikey", 1 "Yatay", 2 "Zigzag".  -1: none.
    // Unused by the Dot exercise.
    int direction = 0;
    int lines = 1;   // lines of a letter block, 1..6; 0 when none was selected
    int letters = 4; // characters of a letter block, 4..36
    ColorValue background = 0;
    ColorValue active = 0;  // the active text, or the active dot
    ColorValue passive = 0; // the passive text, or the passive dots
    ColorValue dot = 0;     // the dot in the middle of the active letter block
    zrv::Pace pace;         // the time a step is shown
    int minutes = 0;        // the run ends after this many minutes; 0 (or -1): it goes on
    FontSpec font;          // the letters' font, as chosen in the font dialog
    // The kinds of characters in the letter blocks: lower case, upper case, digits,
    // punctuation.  The settings window starts no Pyramid or Block run without one of them.
    std::array<bool, 4> letterGroups{true, false, false, false};

    bool operator==(const ExerciseSettings&) const = default;
};

namespace zrv
{

// The ten colours of the colour selectors, in their order, with their names.
struct NamedColor {
    const char* name; // UTF-8
    ColorValue color;
};
inline constexpr std::array<NamedColor, 10> kColors{{
    {QT_TRANSLATE_NOOP("Colors", "Siyah"), rgbColor(0, 0, 0)},
    {QT_TRANSLATE_NOOP("Colors", "Beyaz"), rgbColor(255, 255, 255)},
    {QT_TRANSLATE_NOOP("Colors", "Gri"), rgbColor(128, 128, 128)},
    {QT_TRANSLATE_NOOP("Colors", "Gümüş"), rgbColor(192, 192, 192)},
    {QT_TRANSLATE_NOOP("Colors", "Kırmızı"), rgbColor(255, 0, 0)},
    {QT_TRANSLATE_NOOP("Colors", "Mavi"), rgbColor(0, 0, 255)},
    {QT_TRANSLATE_NOOP("Colors", "Açık Mavi"), rgbColor(0, 255, 255)},
    {QT_TRANSLATE_NOOP("Colors", "Lacivert"), rgbColor(0, 0, 192)},
    {QT_TRANSLATE_NOOP("Colors", "Sarı"), rgbColor(255, 255, 0)},
    {QT_TRANSLATE_NOOP("Colors", "Açık Sarı"), rgbColor(255, 255, 192)},
}};

// A colour's name in the person's language.
inline QString colourText(const NamedColor& colour)
{
    return QCoreApplication::translate("Colors", colour.name);
}

// The colour of a colour selector's item index; black for no selection or an index outside
// the table.
constexpr ColorValue colorOfIndex(int index)
{
    return index >= 0 && index < int(kColors.size()) ? kColors[size_t(index)].color : ColorValue(0);
}

} // namespace zrv
