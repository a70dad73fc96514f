#pragma once
// A window's controls found by their object names, which are the names of their members in the
// window ("boxTip", "valHiz", "FontDialog" …).

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace zrvtest
{

// The child of `window` of type W named `name`.  A name no such child carries is a fault of the
// test or of the window, and ends the test program at once with the name, rather than failing
// later on a null pointer.
template <class W> W* Control(const QObject& window, const char* name)
{
    W* found = window.findChild<W*>(QLatin1String(name));
    if (!found)
        qFatal("%s has no %s named \"%s\"", window.metaObject()->className(), W::staticMetaObject.className(),
               name);
    return found;
}

} // namespace zrvtest
