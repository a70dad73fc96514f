#pragma once

#include <QString>
#include <array>

// A letter block: 1 to 6 lines of random characters, centred horizontally on X, the first
// line's top at Y.  Characters are held as Unicode, one QChar per Windows-1254 character.
class LetterBlock
{
  public:
    LetterBlock() { ++counter(); }
    LetterBlock(const LetterBlock&) = delete;
    LetterBlock& operator=(const LetterBlock&) = delete;
    ~LetterBlock() { --counter(); }

    int letters = 0;             // characters per line
    int lines = 0;               // lines in use, 1..6
    int x = 0;                   // horizontal centre, screen pixels
    int y = 0;                   // top of the first line, screen pixels
    std::array<QString, 7> text; // 1-based: text[1] .. text[6]; text[0] is unused

    // Blocks that exist now, in the whole program (the exercise window keeps exactly 800).
    static int liveCount() { return counter(); }

  private:
    static int& counter()
    {
        static int n = 0;
        return n;
    }
};
