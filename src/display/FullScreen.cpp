#include "display/FullScreen.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <map>

namespace
{

// The window state of a form from before it was taken full-screen, until it is given back.
struct SavedWindow {
    Qt::WindowStates states;
    QRect geometry;
    quint64 generation = 0;
    bool holding = false;
};
std::map<const QWidget*, SavedWindow>& savedWindows()
{
    static std::map<const QWidget*, SavedWindow> saved;
    return saved;
}
quint64 g_generation = 0;

void giveBackNow(QWidget* form)
{
    auto& saved = savedWindows();
    const auto it = saved.find(form);
    if (it == saved.end())
        return;
    const SavedWindow s = it->second;
    saved.erase(it);
    form->setWindowState(s.states);
    form->setGeometry(s.geometry);
}

// Another window of the program that a person sees now, besides `form`.
bool isOtherProgramWindow(const QWidget* w, const QWidget* form)
{
    return w != form && w->isVisible() && w->isWindow() &&
           (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog);
}

} // namespace

namespace zrv
{

QSize deviceSizeOfScreen(const QScreen* screen)
{
    const QSize logical = screen->geometry().size();
    const double dpr = screen->devicePixelRatio();
    return QSize(qRound(logical.width() * dpr), qRound(logical.height() * dpr));
}

QScreen* screenFor(const QWidget* form)
{
    QScreen* preferred = nullptr;
    if (QWidget* active = QApplication::activeWindow(); active && active != form)
        preferred = active->screen();
    if (!preferred) {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows)
            if (isOtherProgramWindow(w, form)) {
                preferred = w->screen();
                break;
            }
    }
    if (!preferred && form)
        preferred = form->screen();
    if (!preferred)
        preferred = QGuiApplication::primaryScreen();
    if (!preferred || deviceSizeOfScreen(preferred).isEmpty())
        return nullptr;
    return preferred;
}

void takeScreen(QWidget* form, QScreen* screen)
{
    auto& saved = savedWindows();
    auto it = saved.find(form);
    if (it == saved.end()) {
        it = saved.emplace(form, SavedWindow{form->windowState(), form->geometry(), 0, false}).first;
        QObject::connect(form, &QObject::destroyed, [form] { savedWindows().erase(form); });
    }
    it->second.generation = ++g_generation; // calls off a pending give-back
    it->second.holding = true;
    if (form->screen() != screen)
        form->setScreen(screen);
    form->setGeometry(screen->geometry()); // also where no window manager does it
    form->setWindowState((form->windowState() & ~Qt::WindowMinimized) | Qt::WindowFullScreen);
}

void giveBackScreen(QWidget* form)
{
    auto it = savedWindows().find(form);
    if (it == savedWindows().end() || !it->second.holding)
        return;
    it->second.holding = false;
    if (!form->isVisible()) {
        giveBackNow(form);
        return;
    }
    const quint64 generation = it->second.generation = ++g_generation;
    QPointer<QWidget> guard(form);
    QTimer::singleShot(0, form, [guard, generation] {
        if (!guard)
            return;
        const auto found = savedWindows().find(guard.data());
        if (found != savedWindows().end() && found->second.generation == generation)
            giveBackNow(guard.data());
    });
}

} // namespace zrv
