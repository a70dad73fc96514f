#pragma once
// One run of the program on a desktop of its own, with the model of its settings window
// loaded from the same settings file: where to click, and how the window must look.

#include "Desktop.h"
#include "Model.h"

#include <QImage>
#include <QList>
#include <QString>

#include <memory>

class QWidget;

namespace e2e
{

class Session
{
  public:
    explicit Session(QSize screen = QSize(1280, 1024)) : desktop(screen) {}

    // Starts the X server and the program with `settings` as its "zrv.opt" (empty: none);
    // an empty text when the settings window has come, else what went wrong.
    QString Start(const QByteArray& settings = QByteArray());

    // Where a control of the settings window lies on the screen (by the model).
    QRect OnScreen(const QWidget* control) const;
    QPoint At(const QWidget* control) const { return OnScreen(control).center(); }
    // The settings window's part of a screenshot.
    QImage WindowOf(const QImage& shot) const { return shot.copy(window.geometry); }
    // The settings window in `shot` looks exactly like the model's, but for the controls in
    // `exempt` (focus frames, a blinking cursor); an empty text when it does.
    QString CheckLikeModel(const QImage& shot, const QList<QWidget*>& exempt = {}) const;
    // Clicks a selector of the settings window and waits for the list it opens, a window of
    // its own below (or over) the selector.
    std::optional<Window> OpenList(const QWidget* selector) const;
    // The item `index` of the `count` in an open list, clicked; true once the list has gone.
    bool PickFromList(const Window& list, int index, int count) const;
    // Takes screenshots until `area` differs from `before` (or the time is up); the last one.
    QImage ShotAfterChange(const QImage& before, QRect area, int timeout_ms = 5000) const;

    Desktop desktop;
    Program program;
    Window window;
    std::unique_ptr<Model> model;
};

} // namespace e2e
