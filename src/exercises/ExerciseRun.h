#pragma once

#include "core/ExerciseSettings.h"
#include "core/Layout.h"
#include "core/LetterBlock.h"

#include <array>
#include <memory>
#include <vector>

class ExerciseDisplay;
class Canvas;

// One run of an exercise on the drawing surface: the first frame, then one step a tick.  Made
// by the exercise window when it is shown, with the settings of the run and the display, which
// is initialized and its canvas carries the run's font before start().
class ExerciseRun
{
  public:
    virtual ~ExerciseRun() = default;
    ExerciseRun(const ExerciseRun&) = delete;
    ExerciseRun& operator=(const ExerciseRun&) = delete;

    // The exercise that settings.exercise names; null for any other number.
    static std::unique_ptr<ExerciseRun> create(const ExerciseSettings& settings, ExerciseDisplay& draw);

    virtual void start() = 0; // the first frame
    virtual void step() = 0;  // one tick
    // The whole frame as it stands now, on a new (black) surface: the first frame with what the
    // steps since have changed.  Letters are not drawn anew.
    virtual void redraw() = 0;

    const ExerciseSettings& settings() const { return m_settings; }

  protected:
    ExerciseRun(const ExerciseSettings& settings, ExerciseDisplay& draw) : m_settings(settings), m_draw(draw)
    {
    }

    Canvas* canvas() const;
    // The whole surface in the background colour.
    void clearScreen() const;
    // Gives the canvas back and presents the frame.
    void present() const;

    const ExerciseSettings m_settings;
    ExerciseDisplay& m_draw;
};

// The Dot exercise: a dot jumps between four or eight fixed points in the order of the type.
// The first frame shows the passive dots; each step repaints the active dot passive and lights
// the next one.
class DotExercise final : public ExerciseRun
{
  public:
    DotExercise(const ExerciseSettings& settings, ExerciseDisplay& draw);
    void start() override;
    void step() override;
    void redraw() override;

    qint32 dotStep = 0;
    std::array<qint32, 9> dotOrder{}; // 1-based; all zeros when the type names no order
    qint32 dotX = 0;
    qint32 dotY = 0;
    std::array<qint32, 5> dotColumns = zrv::DotColumnsInit;
    std::array<qint32, 5> dotRows = zrv::DotRowsInit;

    // Moves DotX/DotY to position 1..8; any other number leaves them where they are.
    void setDotPosition(int position);

  private:
    void drawDot(int position, ColorValue color);
    // The passive dots of the first frame.
    void drawPassiveDots();
    bool m_stepped = false; // a dot has been lit
};

// What the Pyramid and Block exercises share: 800 letter blocks and the order in which they
// are highlighted.
class LetterExercise : public ExerciseRun
{
  public:
    // Block k, 1 .. MaxBloks.
    LetterBlock& block(int k) { return m_bloks[size_t(k - 1)]; }
    const LetterBlock& block(int k) const { return m_bloks[size_t(k - 1)]; }

    zrv::OrderTable showOrder{};
    qint32 current = 0;
    qint32 orderLength = 0;
    // Blocks laid out by the first frame; a step never highlights a block when none was.
    qint32 blocksLaidOut = 0;

    // Mode 0 hides the block (its boxes in the background colour), 1 shows it passive, 2 shows
    // it active: the text in the active colour over a dot in the dot colour at its middle.
    void drawBlock(LetterBlock& block, int mode);
    void redraw() override;

  protected:
    LetterExercise(const ExerciseSettings& settings, ExerciseDisplay& draw);
    // New random characters for the block, from the letter groups of the run.
    void fillBlock(LetterBlock& block) const;
    // Highlights the next block of the order, showing the current one again in `mode`.
    void stepHighlight(int mode);
    // The start of the first frame: the background, no block laid out.
    void clearLayout();
    // Draws block k of the first frame in `mode`, and keeps it for redraw().
    void layOut(int k, int mode);

  private:
    std::vector<LetterBlock> m_bloks;
    std::vector<std::pair<int, int>> m_laidOut; // block and mode, in the first frame's order
    bool m_highlighted = false;                 // a step has highlighted showOrder[Current]
};

// The Pyramid exercise: blocks two characters wider each, stacked as a triangle ("Üçgen") or
// shown one at a time in the middle of the screen ("Tek Satır"); the highlight moves through
// them one way ("Tek Yön") or there and back ("Çift Yön").
class PyramidExercise final : public LetterExercise
{
  public:
    PyramidExercise(const ExerciseSettings& settings, ExerciseDisplay& draw) : LetterExercise(settings, draw)
    {
    }
    void start() override;
    void step() override;
};

// The Block exercise: a grid of equal blocks, separate ("Ayrı bloklar") or touching
// ("Bitişik bloklar"); the highlight walks down the columns, along the rows or in a zigzag
// between the first and last column.
class BlockExercise final : public LetterExercise
{
  public:
    BlockExercise(const ExerciseSettings& settings, ExerciseDisplay& draw) : LetterExercise(settings, draw) {}
    void start() override;
    void step() override;
};
