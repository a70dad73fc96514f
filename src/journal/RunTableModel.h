#pragma once

#include "journal/RunRecord.h"

#include <QAbstractTableModel>
#include <QTimeZone>

class SqliteJournal;

// The journal's runs as a table for its page: read a page of rows at a time as the view
// scrolls, and sorted by the journal, so that what it costs is the rows shown, however many
// runs the journal holds.  Dates are shown in one time zone (the system's unless set) and
// ordered by the instant; a run's own local time, where it differs, is in its tooltip with the
// run's other settings.
class RunTableModel : public QAbstractTableModel
{
    Q_OBJECT
  public:
    enum Column { Date, Exercise, Type, Speed, Delivered, RunTime, Steps, End, ColumnCount };
    // Rows read at a time.
    static constexpr int kPageRows = 200;

    explicit RunTableModel(const SqliteJournal& journal, QObject* parent = nullptr);

    void setZone(const QTimeZone& zone);
    // Reads the journal again, its first page only.
    void reload();
    const RunRecord& run(int row) const { return m_runs[row]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  private:
    const SqliteJournal& m_journal;
    RunOrder m_order;
    QTimeZone m_zone = QTimeZone::systemTimeZone();
    QList<RunRecord> m_runs;
    bool m_complete = false;
};
