#include "core/Pace.h"

#include "core/SettingsList.h"

namespace zrv
{

int Pace::typedMs(const QString& text)
{
    int value = kMin_ms; // left alone when the text does not parse
    parseInt(text.toLatin1(), &value);
    return value;
}

} // namespace zrv
