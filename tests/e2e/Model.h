#pragma once
// The program's two windows in this process, on the in-memory display, loaded from the same
// settings file as the program under test: where its controls lie, and what the exercise lays
// out and draws.  The screenshots of the real program are checked against it.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QTemporaryDir>

#include <memory>

class ManualClock;
class ManualWaker;
class ManualActivity;
class QWidget;
class SettingsWindow;
class ExerciseWindow;
class SqliteJournal;

namespace e2e
{

class Model
{
  public:
    // `settings`: the contents of "zrv.opt" (empty: no file, the defaults).
    explicit Model(const QByteArray& settings = QByteArray());
    ~Model();

    SettingsWindow& Main() { return *m_main; }
    ExerciseWindow& Screen() { return *m_screen; }
    // The journal of the model's settings window (empty at first), for its "Günlük" page.
    SqliteJournal& Journal() { return *m_journal; }

    // Shows page `index` of the settings window (0 "Açıklama", 1 "Alıştırmalar", 2 "Günlük").
    void ShowPage(int index);
    // Picks an exercise in the selector as a person does.
    void selectExercise(int exercise);
    // Where `control` lies in the settings window's client area.
    QRect Rect(const QWidget* control) const;
    // Where the tab of page `index` lies in the client area.
    QRect TabRect(int index) const;

    // Starts the exercise selected in the settings window (the first frame is drawn).
    // Draw as a screen of `screen` pixels shows the frame (at its device resolution); call
    // before Start.
    void DrawForScreen(QSize screen);
    void Start();
    void Tick();
    // The frame on the in-memory screen, as RGB32.
    QImage Frame() const;
    // The exercise font's TextHeight and TextWidth of "A".
    int LetterHeight() const;
    int LetterWidth() const;
    // TextWidth of `text` in the exercise font.
    int TextWidth(const QString& text) const;

  private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<ManualActivity> m_activity;
    ManualWaker* m_waker = nullptr;
    std::unique_ptr<SqliteJournal> m_journal;
    std::unique_ptr<SettingsWindow> m_main;
    std::unique_ptr<ExerciseWindow> m_screen;
};

} // namespace e2e
