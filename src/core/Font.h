#pragma once

#include "core/Color.h"

#include <QString>

// Font style flags, any combination.
enum FontStyle : int { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font as the settings and the canvas describe it.  Name is Unicode here; the settings list
// keeps it as Windows-1254 bytes and converts where it meets Qt.
struct FontSpec {
    QString name = QStringLiteral("Arial");
    int size = 8;         // points; pixels = round(Size * 96 / 72) on the 640 x 480 surface
    int charset = 1;      // 0..255, kept and shown; letters are drawn as Unicode whatever it says
    int style = 0;        // FontStyle flags
    ColorValue color = 0; // not copied from the font dialog; each drawing operation sets its own

    bool operator==(const FontSpec&) const = default;
};
