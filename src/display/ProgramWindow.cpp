#include "display/ProgramWindow.h"

#include <QEventLoop>
#include <QHideEvent>
#include <QPointer>

namespace
{
int g_displayFormCount = 0;
}

ProgramWindow::ProgramWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    ++g_displayFormCount;
}

ProgramWindow::~ProgramWindow()
{
    --g_displayFormCount;
    if (m_modalLoop)
        m_modalLoop->exit(0);
}

int ProgramWindow::DisplayFormCount()
{
    return g_displayFormCount;
}

bool ProgramWindow::IsModalRunning() const
{
    return m_modalLoop != nullptr;
}

void ProgramWindow::ShowModal()
{
    if (m_modalLoop)
        return;
    QEventLoop loop;
    m_modalLoop = &loop;
    m_closeRequested = false;
    QPointer<ProgramWindow> self(this);
    setWindowModality(Qt::ApplicationModal);
    show();
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (self)
        m_modalLoop = nullptr;
}

void ProgramWindow::RequestClose()
{
    if (m_closeRequested)
        return;
    m_closeRequested = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_closeRequested = false;
            close();
        },
        Qt::QueuedConnection);
}

void ProgramWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (m_modalLoop)
        m_modalLoop->exit(0);
}
