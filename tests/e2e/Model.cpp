#include "Model.h"

#include "Frames.h"
#include "core/Letterbox.h"
#include "display/Canvas.h"
#include "display/ExerciseDisplay.h"
#include "exercises/ExerciseWindow.h"
#include "gui/SettingsWindow.h"
#include "journal/SqliteJournal.h"
#include "support/Controls.h"
#include "timer/ManualTime.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QTabWidget>

using zrvtest::Control;

namespace e2e
{

Model::Model(const QByteArray& settings)
    : m_previousDir(QDir::currentPath()), m_clock(std::make_unique<ManualClock>()),
      m_activity(std::make_unique<ManualActivity>(true))
{
    QDir::setCurrent(m_dir.path());
    if (!settings.isEmpty()) {
        QFile file(QStringLiteral("zrv.opt"));
        if (file.open(QIODevice::WriteOnly))
            file.write(settings);
    }
    m_journal = std::make_unique<SqliteJournal>(m_dir.filePath(QStringLiteral("journal.sqlite")));
    m_main = std::make_unique<SettingsWindow>();
    m_main->setJournal(m_journal.get());
    m_main->show();
    QCoreApplication::processEvents();
    auto waker = std::make_unique<ManualWaker>();
    m_waker = waker.get();
    ExerciseWindow::Environment env;
    env.offscreenScale = 1;
    env.clock = m_clock.get();
    env.waker = std::move(waker);
    env.activity = m_activity.get();
    m_screen = std::make_unique<ExerciseWindow>(std::move(env));
    m_main->setScreenForm(m_screen.get());
}

Model::~Model()
{
    m_screen.reset();
    m_main->hide();
    m_main.reset();
    QDir::setCurrent(m_previousDir);
}

void Model::ShowPage(int index)
{
    Control<QTabWidget>(*m_main, "PageControl")->setCurrentIndex(index);
    QCoreApplication::processEvents();
}

void Model::selectExercise(int exercise)
{
    Control<QComboBox>(*m_main, "boxAls")->setCurrentIndex(exercise);
    m_main->boxAlsChange();
    QCoreApplication::processEvents();
}

QRect Model::Rect(const QWidget* control) const
{
    return QRect(control->mapTo(m_main.get(), QPoint(0, 0)), control->size());
}

QRect Model::TabRect(int index) const
{
    QTabBar* bar = Control<QTabWidget>(*m_main, "PageControl")->tabBar();
    const QRect r = bar->tabRect(index);
    return QRect(bar->mapTo(m_main.get(), r.topLeft()), r.size());
}

void Model::DrawForScreen(QSize screen)
{
    m_screen->display()->setOffscreenScale(zrv::frameScaleFor(kFrameSize, screen));
}

void Model::Start()
{
    m_screen->setSettings(m_main->model().runSettings());
    m_screen->show();
    QCoreApplication::processEvents();
}

void Model::Tick()
{
    if (!m_waker->isArmed())
        return;
    m_clock->setNs(m_waker->deadline());
    m_waker->fire();
}

QImage Model::Frame() const
{
    const FrameSurface* surface = m_screen->display()->surface();
    return surface ? surface->image() : QImage();
}

int Model::LetterHeight() const
{
    return m_screen->display()->surface()->canvas()->textHeight(QStringLiteral("A"));
}

int Model::LetterWidth() const
{
    return TextWidth(QStringLiteral("A"));
}

int Model::TextWidth(const QString& text) const
{
    return m_screen->display()->surface()->canvas()->textWidth(text);
}

} // namespace e2e
