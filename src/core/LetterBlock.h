#pragma once

#include <QString>
#include <array>

// A letter block: 1 to 6 lines of random characters, centred horizontally on X, the first
// line's top at Y.  Characters are held as Unicode, one QChar per Windows-1254 character.
class LetterBlock
{
  public:
    LetterBlock() { ++liveCount(); }
    LetterBlock(const LetterBlock&) = delete;
    LetterBlock& operator=(const LetterBlock&) = delete;
    ~LetterBlock() { --liveCount(); }

    int Letters = 0;             // characters per line
    int Lines = 0;               // lines in use, 1..6
    int X = 0;                   // horizontal centre, screen pixels
    int Y = 0;                   // top of the first line, screen pixels
    std::array<QString, 7> Text; // 1-based: Text[1] .. Text[6]; Text[0] is unused

    // Blocks that exist now, in the whole program (the exercise window keeps exactly 800).
    static int LiveCount() { return liveCount(); }

  private:
    static int& liveCount()
    {
        static int n = 0;
        return n;
    }
};
