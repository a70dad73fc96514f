#pragma once

#include <QString>

#include <algorithm>
#include <compare>

namespace zrv
{

// The pace of a run: the time one step is shown, in whole milliseconds, 40..2000.  The one
// place the range is kept: a pace made from any number is held to it, so the speed box, the
// routine's boxes, the frame timer and the journal never see another one.
class Pace
{
  public:
    static constexpr int kMin_ms = 40;
    static constexpr int kMax_ms = 2000;
    // What an unreadable speed line stands for.
    static constexpr int kFallback_ms = 400;

    constexpr Pace() = default;
    constexpr explicit Pace(int ms) : m_ms(std::clamp(ms, kMin_ms, kMax_ms)) {}

    // The number a typed text stands for, as the settings file keeps it: the text read as an
    // integer, kMin_ms when it is not one, not held to the range (the box holds it only when
    // it loses the focus).
    static int typedMs(const QString& text);
    // The pace of a typed text: typedMs held to the range.
    static Pace fromText(const QString& text) { return Pace(typedMs(text)); }

    constexpr int ms() const { return m_ms; }

    constexpr auto operator<=>(const Pace&) const = default;

  private:
    int m_ms = kFallback_ms;
};

} // namespace zrv
