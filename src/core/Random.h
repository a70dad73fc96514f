#pragma once

#include <QtGlobal>

// The program's one pseudo-random generator: a 32-bit seed, 0 at program start, seeded by the
// settings window from the UTC time of day in milliseconds.  Only the letter blocks draw
// from it.  The sequence is fixed: the same seed gives the same letters.
namespace zrv
{

quint32 randSeed();
void setRandSeed(quint32 seed);

// A uniform integer from 0 to n - 1 (0 when n is 0): seed := seed * 134775813 + 1 (mod 2^32),
// then the upper 32 bits of the 64-bit product seed * n.
quint32 random(quint32 n);

} // namespace zrv
