#include "timer/ActivitySource.h"

#include <QGuiApplication>

ApplicationActivity::ApplicationActivity(QObject* parent) : ActivitySource(parent), m_active(true)
{
    if (!qGuiApp)
        return;
    m_active = QGuiApplication::applicationState() == Qt::ApplicationActive;
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, &ApplicationActivity::OnStateChanged);
}

bool ApplicationActivity::IsActive() const
{
    return m_active;
}

void ApplicationActivity::OnStateChanged(Qt::ApplicationState state)
{
    const bool active = state == Qt::ApplicationActive;
    if (active == m_active)
        return;
    m_active = active;
    emit ActiveChanged(active);
}
