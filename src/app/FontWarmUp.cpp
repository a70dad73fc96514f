#include "app/FontWarmUp.h"

#include <fontconfig/fontconfig.h>

zrv::FontWarmUp::FontWarmUp() : m_thread([] { FcInit(); }) {}

zrv::FontWarmUp::~FontWarmUp()
{
    wait();
}

void zrv::FontWarmUp::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}
