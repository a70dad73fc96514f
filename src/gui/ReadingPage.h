#pragma once

#include "core/Reading.h"
#include "journal/ReadingStore.h"

#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QRadioButton;
class SqliteJournal;
class StageScreen;

// The "Okuma" page of the settings window: what the reading test measures, the last and the
// best result, the days since the last test, the choice of text (the next built-in passage, or
// the next piece of the person's own file) and the button that starts the test.  The test is
// shown in the exercise window, as a routine's reading step is.
class ReadingPage : public QWidget
{
    Q_OBJECT
  public:
    ReadingPage(SqliteJournal& journal, QWidget* parent = nullptr);
    ~ReadingPage() override;

    // The language of the built-in passages: the program's ("tr", or "en" in English).
    static QString passageLanguage();
    // A reading test's screen for the exercise window, of the text chosen on the page when it
    // is made; `inRoutine`: a step of the routine started at `routineStart_utc_ms`.  Null when
    // there is no text to read (the reason goes to whyNot()).
    StageScreen* makeScreen(QWidget* parent, std::optional<qint64> routineStart_utc_ms);
    const QString& whyNot() const { return m_whyNot; }
    // The passages the page chooses from (tests give others).
    void setPassages(QList<Passage> passages);
    // The person's own text instead of a passage; an empty path goes back to the passages.
    bool setOwnText(const QString& path);
    ReadingStore& store() { return m_store; }
    // Reads the figures from the journal again and shows them.
    void refresh();
    // Enter on `widget` (the tab bar) starts the test too while the page is shown.
    void startOnEnterFrom(QWidget* widget);

  signals:
    // "Okuma testini başlat", or Enter on the page.
    void startRequested();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void createWidgets();
    void chooseOwnText();
    const QList<Passage>& passages();

    SqliteJournal& m_journal;
    ReadingStore m_store;
    std::optional<QList<Passage>> m_passages;
    QString m_ownPath;
    QString m_whyNot;
    class EnterStarts* m_enter = nullptr;

    QLabel* labAbout = nullptr;
    QLabel* labResults = nullptr;
    QRadioButton* btnPassage = nullptr;
    QRadioButton* btnOwnText = nullptr;
    QLabel* labText = nullptr;
    QPushButton* btnReading = nullptr;
};
