#include "journal/RunTableModel.h"

#include "journal/JournalFigures.h"
#include "journal/SqliteJournal.h"

#include <QCoreApplication>
#include <iterator>

namespace
{
// The start of a run in the order of the language shown.
QString dateText(const QDateTime& started)
{
    return started.toString(
        QCoreApplication::translate("RunTableModel", "dd.MM.yyyy HH:mm", "date and time of a run"));
}

// A column of the table: its heading, what it is sorted by, and the text of a run in it.
struct TableColumn {
    const char* heading; // UTF-8
    RunKey key;
    bool number; // aligned right
    QString (*text)(const RunRecord& run, const QTimeZone& zone);
};
const TableColumn kTableColumns[] = {
    {QT_TRANSLATE_NOOP("RunTableModel", "Tarih"), RunKey::Started, false,
     [](const RunRecord& run, const QTimeZone& zone) { return dateText(run.started.toTimeZone(zone)); }},
    {QT_TRANSLATE_NOOP("RunTableModel", "Alıştırma"), RunKey::Exercise, false,
     [](const RunRecord& run, const QTimeZone&) { return exerciseName(run.exercise); }},
    {QT_TRANSLATE_NOOP("RunTableModel", "Tip"), RunKey::Type, false,
     [](const RunRecord& run, const QTimeZone&) { return typeName(run.exercise, run.type); }},
    {QT_TRANSLATE_NOOP("RunTableModel", "Hız (ms)"), RunKey::Pace, true,
     [](const RunRecord& run, const QTimeZone&) { return QString::number(run.pace.ms()); }},
    {QT_TRANSLATE_NOOP("RunTableModel", "Gerçek (ms)"), RunKey::Delivered, true,
     [](const RunRecord& run, const QTimeZone&) { return deliveredName(run); }},
    {QT_TRANSLATE_NOOP("RunTableModel", "Çalışılan"), RunKey::RunTime, true,
     [](const RunRecord& run, const QTimeZone&) { return spanName(double(run.run_ms)); }},
    {QT_TRANSLATE_NOOP("RunTableModel", "Adım"), RunKey::Steps, true,
     [](const RunRecord& run, const QTimeZone&) { return QString::number(run.steps); }},
    {QT_TRANSLATE_NOOP("RunTableModel", "Bitiş"), RunKey::End, false,
     [](const RunRecord& run, const QTimeZone&) { return endName(run.end); }},
};
static_assert(std::size(kTableColumns) == RunTableModel::ColumnCount);

// "+03:00", "-04:30".
QString offsetText(int offset_s)
{
    const int magnitude = qAbs(offset_s) / 60;
    return QStringLiteral("%1%2:%3")
        .arg(offset_s < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(magnitude / 60, 2, 10, QLatin1Char('0'))
        .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

// The details the table has no column for.
QString details(const RunRecord& run, const QTimeZone& zone)
{
    QStringList lines{exerciseName(run.exercise) + QStringLiteral(": ") + typeName(run.exercise, run.type)};
    if (run.exercise != 0) {
        lines.last() += QStringLiteral(", ") + directionName(run.exercise, run.direction);
        lines << QCoreApplication::translate("RunTableModel", "%1 satır, %2 harf")
                     .arg(run.lines)
                     .arg(run.letters);
    }
    lines << QCoreApplication::translate("RunTableModel", "Renkler: %1, %2, %3, %4")
                 .arg(colourName(run.colours[0]), colourName(run.colours[1]), colourName(run.colours[2]),
                      colourName(run.colours[3]));
    lines << QCoreApplication::translate("RunTableModel", "Süre: ") + durationName(run.duration_minutes) +
                 QCoreApplication::translate("RunTableModel", ", %1 adım, ").arg(run.steps) +
                 endName(run.end);
    if (const QString pace = paceDetails(run); !pace.isEmpty())
        lines << pace;
    if (run.paused_ms > 0)
        lines << QCoreApplication::translate("RunTableModel", "Duraklatıldı: ") +
                     spanName(double(run.paused_ms));
    if (run.inactive)
        lines << QCoreApplication::translate("RunTableModel",
                                             "Çalışma sırasında program bir süre etkin değildi.");
    if (run.routine_utc_ms)
        lines << QCoreApplication::translate("RunTableModel", "Günlük programın bir adımı.");
    if (run.started.toTimeZone(zone).offsetFromUtc() != run.started.offsetFromUtc())
        lines << QCoreApplication::translate("RunTableModel", "Başladığı yerin saatiyle: %1 (UTC%2)")
                     .arg(dateText(run.started), offsetText(run.started.offsetFromUtc()));
    return lines.join(QLatin1Char('\n'));
}
} // namespace

RunTableModel::RunTableModel(const SqliteJournal& journal, QObject* parent)
    : QAbstractTableModel(parent), m_journal(journal)
{
    reload();
}

void RunTableModel::setZone(const QTimeZone& zone)
{
    if (zone == m_zone)
        return;
    m_zone = zone;
    if (!m_runs.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void RunTableModel::reload()
{
    beginResetModel();
    m_runs = m_journal.runPage(m_order, 0, kPageRows);
    m_complete = m_runs.size() < kPageRows;
    endResetModel();
}

int RunTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_runs.size());
}

int RunTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RunTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_runs.size())
        return {};
    const RunRecord& run = m_runs[index.row()];
    const TableColumn& column = kTableColumns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return column.text(run, m_zone);
    case Qt::ToolTipRole:
        return details(run, m_zone);
    case Qt::TextAlignmentRole:
        return column.number ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return {};
    }
}

QVariant RunTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return tr(kTableColumns[section].heading);
}

bool RunTableModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !m_complete;
}

void RunTableModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid() || m_complete)
        return;
    const QList<RunRecord> more = m_journal.runPage(m_order, m_runs.size(), kPageRows);
    m_complete = more.size() < kPageRows;
    if (more.isEmpty())
        return;
    beginInsertRows({}, int(m_runs.size()), int(m_runs.size() + more.size() - 1));
    m_runs += more;
    endInsertRows();
}

void RunTableModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    const RunOrder sorted{kTableColumns[column].key, order == Qt::DescendingOrder};
    if (sorted.key == m_order.key && sorted.descending == m_order.descending)
        return;
    m_order = sorted;
    reload();
}
