#include "Session.h"

#include "Frames.h"
#include "gui/SettingsWindow.h"

#include <QRegion>

namespace e2e
{

QString Session::Start(const QByteArray& settings)
{
    QString error;
    if (!desktop.Start(&error))
        return error;
    // The pointer off the window, so that nothing shows a hover.
    desktop.ParkPointer();
    if (!settings.isEmpty())
        program.WriteSettings(settings);
    const auto found = program.Start(desktop);
    if (!found)
        return QStringLiteral("no settings window; the program says: ") + program.Log();
    window = *found;
    model = std::make_unique<Model>(settings);
    if (window.geometry.size() != model->Main().size())
        return QStringLiteral("the settings window is %1x%2")
            .arg(window.geometry.width())
            .arg(window.geometry.height());
    return {};
}

std::optional<Window> Session::OpenList(const QWidget* selector) const
{
    desktop.Click(At(selector));
    std::optional<Window> list;
    WaitUntil(
        [&] {
            for (const Window& w : desktop.Windows(QStringLiteral(".*")))
                if (w.id != window.id && w.geometry.width() == selector->width() && w.geometry.height() > 40)
                    list = w;
            return list.has_value();
        },
        5000);
    return list;
}

bool Session::PickFromList(const Window& list, int index, int count) const
{
    const QRect r = list.geometry;
    desktop.Click(QPoint(r.center().x(), r.top() + ((2 * index + 1) * r.height()) / (2 * count)));
    desktop.ParkPointer();
    return WaitUntil(
        [&] {
            for (const Window& w : desktop.Windows(QStringLiteral(".*")))
                if (w.id == list.id)
                    return false;
            return true;
        },
        5000);
}

QRect Session::OnScreen(const QWidget* control) const
{
    return model->Rect(control).translated(window.geometry.topLeft());
}

QString Session::CheckLikeModel(const QImage& shot, const QList<QWidget*>& exempt) const
{
    const QImage real = WindowOf(shot);
    const QImage wanted = model->Main().grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (wanted.size() != real.size())
        return QStringLiteral("the window is not as large as its layout");
    QRegion compared(real.rect());
    for (const QWidget* w : exempt)
        compared -= model->Rect(w).adjusted(-3, -3, 3, 3);
    for (const QRect& r : compared) {
        const QRect wrong = ChangedArea(real, wanted, r);
        if (!wrong.isNull()) {
            desktop.Keep(real, QStringLiteral("unlike-real"));
            desktop.Keep(wanted, QStringLiteral("unlike-model"));
            return QStringLiteral("the window differs from its layout at (%1,%2 %3x%4)")
                .arg(wrong.x())
                .arg(wrong.y())
                .arg(wrong.width())
                .arg(wrong.height());
        }
    }
    return {};
}

QImage Session::ShotAfterChange(const QImage& before, QRect area, int timeout_ms) const
{
    QImage shot;
    WaitUntil(
        [&] {
            shot = desktop.Shot();
            return Differences(before, shot, area) > 0;
        },
        timeout_ms);
    return shot;
}

} // namespace e2e
