#pragma once

#include <QDateTime>
#include <QWidget>
#include <functional>

class RunChart;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class QTimer;
class RunTableModel;
class SqliteJournal;

// The journal shown: what is wrong with its file if anything, the totals of this week and of
// the last 30 days, a table of the runs (newest first, sortable by any column), and for one
// exercise a chart of its runs' paces with the minutes trained per day (RunChart).  A thin
// view: the figures come from the journal's own functions, in SQL, and the table reads the rows
// it shows.  A change of the journal (the end of a run) is shown once the event that made it is
// over, so that the exercise window is gone first.
class JournalView : public QWidget
{
    Q_OBJECT
  public:
    // `compact`: sized for the settings window's page, with a button that opens the journal
    // in a window of its own.
    JournalView(SqliteJournal& journal, bool compact, QWidget* parent = nullptr);

    // The present moment for the totals; the system clock unless set.
    void setNow(std::function<QDateTime()> now);
    // Reads the journal again now.
    void refresh();

    QTableView* table() const { return m_table; }
    // The chart (a QChartView), or a line saying why there is none.
    QWidget* chart() const { return m_chartWidget; }
    QComboBox* exerciseBox() const { return m_exercise; }
    QLabel* status() const { return m_status; }
    QLabel* totalsLabel() const { return m_totals; }

    // What asks before runs are deleted (a message box unless set); true: go ahead.
    void setConfirm(std::function<bool(const QString& question)> confirm);
    // Deletes the runs selected in the table, once confirmed.
    void removeSelected();

    // Writes the whole journal to `path` as CSV; false (and a message box) when it fails.
    bool exportCsv(const QString& path);

  private:
    void fillTable();
    void fillChart();
    void fillStatus();
    void chooseCsvFile();
    void openWindow();

    SqliteJournal& m_journal;
    bool m_compact;
    std::function<QDateTime()> m_now;
    std::function<bool(const QString&)> m_confirm;
    QLabel* m_status = nullptr;
    QLabel* m_totals = nullptr;
    QLabel* m_progress = nullptr; // the day's goal, and the routine's pace week by week
    QLabel* m_exported = nullptr;
    QComboBox* m_exercise = nullptr;
    QTableView* m_table = nullptr;
    RunTableModel* m_model = nullptr;
    QTimer* m_refreshLater = nullptr;
    RunChart* m_chart = nullptr; // none when the module could not be loaded
    QWidget* m_chartWidget = nullptr;
    QWidget* m_window = nullptr;
};

// The "Günlük" page of the settings window: the compact view, made the first time the page
// is shown so that the program starts as fast as before.
class JournalPage : public QWidget
{
    Q_OBJECT
  public:
    explicit JournalPage(SqliteJournal& journal, QWidget* parent = nullptr);
    // The view; made now when the page has not been shown yet.
    JournalView* view();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    SqliteJournal& m_journal;
    JournalView* m_view = nullptr;
};
