#include "timer/ActivitySource.h"

#include <QGuiApplication>

ApplicationActivity::ApplicationActivity(QObject* parent) : ActivitySource(parent), m_active(true)
{
    if (!qGuiApp)
        return;
    m_active = QGuiApplication::applicationState() == Qt::ApplicationActive;
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, &ApplicationActivity::onStateChanged);
}

bool ApplicationActivity::isActive() const
{
    return m_active;
}

void ApplicationActivity::onStateChanged(Qt::ApplicationState state)
{
    const bool active = state == Qt::ApplicationActive;
    if (active == m_active)
        return;
    m_active = active;
    emit activeChanged(active);
}
