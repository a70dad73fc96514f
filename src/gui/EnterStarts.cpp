#include "gui/EnterStarts.h"

#include <QKeyEvent>
#include <QWidget>

EnterStarts::EnterStarts(QWidget* page, std::function<void()> start)
    : QObject(page), m_page(page), m_start(std::move(start))
{
    page->installEventFilter(this);
}

void EnterStarts::alsoFrom(QWidget* widget)
{
    widget->installEventFilter(this);
}

bool EnterStarts::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && m_page->isVisible()) {
        const int key = static_cast<const QKeyEvent*>(event)->key();
        // On the page: an Enter its focused control left unhandled comes on to it.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_start();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
