#include "core/Random.h"

namespace zrv
{
namespace
{
quint32 g_seed = 0;
}

quint32 randSeed()
{
    return g_seed;
}
void setRandSeed(quint32 seed)
{
    g_seed = seed;
}

quint32 random(quint32 n)
{
    g_seed = g_seed * 134775813u + 1u;
    return quint32((quint64(g_seed) * n) >> 32);
}

} // namespace zrv
