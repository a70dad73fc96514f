#pragma once

#include <QObject>

// Tells whether the application is the active one and reports when that changes.  The frame
// timer listens to it for activeOnly; tests hand the timer a fake.
class ActivitySource : public QObject
{
    Q_OBJECT
  public:
    using QObject::QObject;
    ~ActivitySource() override = default;

    virtual bool isActive() const = 0;

  signals:
    // Emitted after the state has changed, from the event loop, only when it really changes.
    void activeChanged(bool active);
};

// The application's own reports: active while QGuiApplication's state is
// Qt::ApplicationActive, i.e. while one of the program's windows has the focus.  Without a
// QGuiApplication (a program of Qt Core only) the application counts as always active.
class ApplicationActivity final : public ActivitySource
{
    Q_OBJECT
  public:
    explicit ApplicationActivity(QObject* parent = nullptr);
    bool isActive() const override;

  private:
    void onStateChanged(Qt::ApplicationState state);
    bool m_active;
};
