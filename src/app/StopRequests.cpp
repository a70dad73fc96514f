#include "app/StopRequests.h"

#include "exercises/ExerciseWindow.h"
#include "gui/SettingsWindow.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

namespace zrv
{

StopRequests::StopRequests(SettingsWindow* settingsWindow, ExerciseWindow* exerciseWindow,
                           std::function<void(int)> exit)
    : m_settingsWindow(settingsWindow), m_exerciseWindow(exerciseWindow), m_exit(std::move(exit))
{
    if (!m_exit)
        m_exit = [](int code) { QCoreApplication::exit(code); };
}

void StopRequests::request()
{
    if (m_saveFailed || m_closing)
        m_exit(1);
    else
        endStep(0);
}

void StopRequests::endStep(int attempt)
{
    constexpr int kAttempts = 100; // 2 s for an exercise or a dialog to go
    if (attempt < kAttempts) {
        QWidget* waitFor = nullptr;
        if (m_exerciseWindow->isModalRunning()) {
            m_exerciseWindow->requestClose();
            waitFor = m_exerciseWindow;
        } else if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != m_settingsWindow) {
            modal->close();
            waitFor = modal;
        }
        if (waitFor) {
            QTimer::singleShot(20, m_settingsWindow, [this, attempt] { endStep(attempt + 1); });
            return;
        }
    }
    if (m_settingsWindow->isVisible()) {
        m_closing = true;
        m_settingsWindow->btnCloseClick();
        m_closing = false;
    }
    m_saveFailed = m_settingsWindow->isVisible();
}

} // namespace zrv
