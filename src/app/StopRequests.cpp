#include "app/StopRequests.h"

#include "exercises/ExerciseWindow.h"
#include "gui/SettingsWindow.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

namespace zrv
{

StopRequests::StopRequests(SettingsWindow* mainForm, ExerciseWindow* screenForm,
                           std::function<void(int)> exit)
    : m_mainForm(mainForm), m_screenForm(screenForm), m_exit(std::move(exit))
{
    if (!m_exit)
        m_exit = [](int code) { QCoreApplication::exit(code); };
}

void StopRequests::Request()
{
    if (m_saveFailed)
        m_exit(1);
    else
        endStep(0);
}

void StopRequests::endStep(int attempt)
{
    constexpr int kAttempts = 100; // 2 s for an exercise or a dialog to go
    if (attempt < kAttempts) {
        QWidget* waitFor = nullptr;
        if (m_screenForm->IsModalRunning()) {
            m_screenForm->RequestClose();
            waitFor = m_screenForm;
        } else if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != m_mainForm) {
            modal->close();
            waitFor = modal;
        }
        if (waitFor) {
            QTimer::singleShot(20, m_mainForm, [this, attempt] { endStep(attempt + 1); });
            return;
        }
    }
    if (m_mainForm->isVisible())
        m_mainForm->btnCloseClick();
    m_saveFailed = m_mainForm->isVisible();
}

} // namespace zrv
