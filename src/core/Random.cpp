#include "core/Random.h"

namespace zrv
{
namespace
{
quint32 g_seed = 0;
}

quint32 RandSeed()
{
    return g_seed;
}
void SetRandSeed(quint32 seed)
{
    g_seed = seed;
}

quint32 Random(quint32 n)
{
    g_seed = g_seed * 134775813u + 1u;
    return quint32((quint64(g_seed) * n) >> 32);
}

} // namespace zrv
