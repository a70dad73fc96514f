#pragma once

#include "core/Reading.h"
#include "exercises/StageScreen.h"
#include "journal/ReadingStore.h"

#include <functional>

class Clock;

// What a reading test reads: a built-in passage with its questions, or a piece of the
// person's own text without any.
struct ReadingMaterial {
    QString title;
    QStringList paragraphs;
    QList<ReadingQuestion> questions;
};

// The reading test in the exercise window: the text in pages set for reading (a calm pair of
// colours, a readable font sized for about 65 characters a line, whole words a line), then the
// questions with the text gone, then the result.  → , Space or Page Down turn the page, ← or
// Page Up turn back; the clock runs on the monotonic clock from the first page shown to the
// last page turned, and each page's time is kept.  A question is chosen with 1–4 or the arrows
// and answered with Enter; Enter on the result goes on.
class ReadingScreen : public StageScreen
{
    Q_OBJECT
  public:
    enum class Phase { Pages, Questions, Result };

    // `test` carries what the caller knows (start, language, passage or file); the screen adds
    // what it measures.  `clock`: the system's when null.
    ReadingScreen(ReadingMaterial material, ReadingTest test, Clock* clock = nullptr,
                  QWidget* parent = nullptr);

    // The lines the result screen shows; set by a receiver of finished().
    void setResultLines(const QStringList& lines) { m_result = lines; }

    Phase phase() const { return m_phase; }
    int page() const { return m_page; }
    int pageCount() const { return int(m_pages.size()); }
    const QList<QStringList>& pages() const { return m_pages; }
    const zrv::ReadingLayout& layout() const { return m_layout; }
    int question() const { return m_question; }
    const ReadingTest& test() const { return m_test; }
    const QStringList& resultLines() const { return m_result; }

  signals:
    // The test is through (every page and question): a receiver stores it and sets the result's
    // lines.
    void finished(const ReadingTest& test);
    // The test was given up or cut short, as it ended.
    void givenUp(const ReadingTest& test);

  public:
    void keyDown(int key);
    void abort(bool byEscape) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void lay();
    void turn(int by);
    void answer();
    void finish();
    QFont textFont(int pixels) const;
    qint64 now_ms() const;

    ReadingMaterial m_material;
    ReadingTest m_test;
    Clock* m_clock;
    zrv::ReadingLayout m_layout;
    QList<QStringList> m_pages;
    Phase m_phase = Phase::Pages;
    int m_page = 0;
    bool m_started = false;
    qint64 m_start_ms = 0;
    qint64 m_pageShown_ms = 0;
    int m_question = 0;
    int m_choice = -1;
    QStringList m_result;
    bool m_ended = false;
};
