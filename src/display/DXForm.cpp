#include "display/DXForm.h"

#include <QHideEvent>
#include <QEventLoop>
#include <QPointer>

namespace {
int g_displayFormCount = 0;
}

TDXForm::TDXForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    ++g_displayFormCount;
}

TDXForm::~TDXForm()
{
    --g_displayFormCount;
    if (m_modalLoop)
        m_modalLoop->exit(0);
}

int TDXForm::DisplayFormCount() { return g_displayFormCount; }

bool TDXForm::IsModalRunning() const { return m_modalLoop != nullptr; }

void TDXForm::ShowModal()
{
    if (m_modalLoop)
        return;
    QEventLoop loop;
    m_modalLoop = &loop;
    m_closeRequested = false;
    QPointer<TDXForm> self(this);
    setWindowModality(Qt::ApplicationModal);
    show();
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (self)
        m_modalLoop = nullptr;
}

void TDXForm::RequestClose()
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

void TDXForm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (m_modalLoop)
        m_modalLoop->exit(0);
}
