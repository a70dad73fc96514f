#include "gui/JournalView.h"

#include "core/Report.h"
#include "core/SafeSave.h"
#include "gui/JournalChart.h"
#include "journal/JournalFigures.h"
#include "journal/SqliteJournal.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace
{
enum Column { ColDate, ColExercise, ColType, ColSpeed, ColRun, ColSteps, ColEnd, ColumnCount };
constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kExerciseRole = Qt::UserRole + 2;

QString Span(qint64 ms)
{
    const qint64 s = (ms + 500) / 1000;
    if (s >= 3600)
        return QStringLiteral("%1 sa %2 dk").arg(s / 3600).arg(s / 60 % 60);
    return QStringLiteral("%1 dk %2 sn").arg(s / 60).arg(s % 60);
}

QString TotalText(const QString& what, const Totals& t)
{
    return QStringLiteral("%1: %2 çalışma, %3").arg(what).arg(t.runs).arg(Span(qint64(t.minutes * 60'000.0)));
}

QStandardItem* Cell(const QString& text, const QVariant& sortKey)
{
    auto* item = new QStandardItem(text);
    item->setData(sortKey, kSortRole);
    item->setEditable(false);
    return item;
}

// The details the table has no column for.
QString Details(const RunRecord& run)
{
    QStringList lines{exerciseName(run.exercise) + QStringLiteral(": ") + typeName(run.exercise, run.type)};
    if (run.exercise != 0) {
        lines.last() += QStringLiteral(", ") + directionName(run.exercise, run.direction);
        lines << QStringLiteral("%1 satır, %2 harf").arg(run.lines).arg(run.letters);
    }
    lines << QStringLiteral("Renkler: %1, %2, %3, %4")
                 .arg(colourName(run.colours[0]), colourName(run.colours[1]), colourName(run.colours[2]),
                      colourName(run.colours[3]));
    lines << QStringLiteral("Süre: ") + durationName(run.duration_minutes);
    if (run.inactive)
        lines << QStringLiteral("Çalışma sırasında program bir süre etkin değildi.");
    return lines.join(QLatin1Char('\n'));
}
} // namespace

JournalView::JournalView(SqliteJournal& journal, bool compact, QWidget* parent)
    : QWidget(parent), m_journal(journal), m_compact(compact),
      m_now([] { return QDateTime::currentDateTime(); })
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(compact ? 6 : 10, compact ? 6 : 10, compact ? 6 : 10, compact ? 6 : 10);
    layout->setSpacing(compact ? 4 : 6);

    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setStyleSheet(QStringLiteral("color: #a00000;"));
    m_status->hide();
    layout->addWidget(m_status);

    m_totals = new QLabel(this);
    layout->addWidget(m_totals);

    m_model = new QStandardItemModel(0, ColumnCount, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("Tarih"), QStringLiteral("Alıştırma"),
                                        QStringLiteral("Tip"), QStringLiteral("Hız (ms)"),
                                        QStringLiteral("Çalışılan"), QStringLiteral("Adım"),
                                        QStringLiteral("Bitiş")});
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(kSortRole);
    m_table = new QTableView(this);
    m_table->setModel(m_sorted);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(ColDate, Qt::DescendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setAlternatingRowColors(true);
    if (compact) // the type is in the row's tooltip
        m_table->setColumnHidden(ColType, true);
    layout->addWidget(m_table, compact ? 4 : 5);

    auto* chartRow = new QHBoxLayout;
    chartRow->addWidget(new QLabel(QStringLiteral("Grafik:"), this));
    m_exercise = new QComboBox(this);
    m_exercise->addItems({exerciseName(0), exerciseName(1), exerciseName(2)});
    chartRow->addWidget(m_exercise);
    chartRow->addStretch(1);
    auto* exportButton = new QPushButton(QStringLiteral("CSV olarak kaydet..."), this);
    chartRow->addWidget(exportButton);
    if (compact) {
        auto* windowButton = new QPushButton(QStringLiteral("Büyük pencere"), this);
        chartRow->addWidget(windowButton);
        connect(windowButton, &QPushButton::clicked, this, &JournalView::openWindow);
    }
    layout->addLayout(chartRow);

    m_chartView = new JournalChart(compact, this);
    m_chart = m_chartView->chart();
    layout->addWidget(m_chartView, compact ? 5 : 7);

    connect(m_exercise, &QComboBox::currentIndexChanged, this, &JournalView::fillChart);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    m_exercise->setCurrentIndex(
                        m_sorted->index(current.row(), ColExercise).data(kExerciseRole).toInt());
            });
    connect(exportButton, &QPushButton::clicked, this, &JournalView::chooseCsvFile);
    connect(&m_journal, &SqliteJournal::changed, this, &JournalView::refresh);
    refresh();
    // The chart opens on the exercise of the latest run.
    if (m_model->rowCount() > 0)
        m_exercise->setCurrentIndex(m_sorted->index(0, ColExercise).data(kExerciseRole).toInt());
}

void JournalView::setNow(std::function<QDateTime()> now)
{
    m_now = std::move(now);
    refresh();
}

void JournalView::refresh()
{
    fillStatus();
    fillTable();
    fillChart();
}

void JournalView::fillStatus()
{
    QString text;
    switch (m_journal.state()) {
    case JournalState::Open:
        if (!m_journal.asidePath().isEmpty())
            text = QStringLiteral(
                       "Günlük dosyası bozuktu: \"%1\" adıyla bir kenara kondu, yeni bir günlük başlatıldı.")
                       .arg(QDir::toNativeSeparators(m_journal.asidePath()));
        break;
    case JournalState::ReadOnly:
        text = QStringLiteral("Günlük dosyasına yazılamıyor (salt okunur): yeni çalışmalar yalnızca program "
                              "açıkken tutuluyor.");
        break;
    case JournalState::Locked:
        text = QStringLiteral(
            "Günlük dosyası başka bir Zerlivan tarafından kullanılıyor: yeni çalışmalar, dosya "
            "serbest kalınca kaydedilecek.");
        break;
    case JournalState::NewerVersion:
        text =
            QStringLiteral("Günlük dosyası programın daha yeni bir sürümüne ait: okunuyor, değiştirilmiyor.");
        break;
    case JournalState::Unavailable:
        text = QStringLiteral("Günlük açılamadı: yeni çalışmalar yalnızca program açıkken tutuluyor.");
        break;
    }
    if (m_journal.pendingCount() > 0)
        text += QStringLiteral(" Kaydedilmeyi bekleyen çalışma: %1.").arg(m_journal.pendingCount());
    m_status->setText(text.trimmed());
    m_status->setToolTip(QDir::toNativeSeparators(m_journal.path()) + QLatin1Char('\n') +
                         m_journal.errorText());
    m_status->setVisible(!text.isEmpty());

    const QDateTime now = m_now();
    m_totals->setText(
        TotalText(QStringLiteral("Bu hafta"), totalOf(m_journal.runs({{}, weekStart(now), {}}))) +
        QStringLiteral("     ") +
        TotalText(QStringLiteral("Son 30 gün"), totalOf(m_journal.runs({{}, thirtyDaysStart(now), {}}))));
}

void JournalView::fillTable()
{
    m_model->removeRows(0, m_model->rowCount());
    for (const RunRecord& run : m_journal.runs()) {
        const QString details = Details(run);
        QList<QStandardItem*> row{
            Cell(run.started.toString(QStringLiteral("dd.MM.yyyy HH:mm")), run.started.toMSecsSinceEpoch()),
            Cell(exerciseName(run.exercise), run.exercise),
            Cell(typeName(run.exercise, run.type), run.type),
            Cell(QString::number(run.interval_ms), run.interval_ms),
            Cell(Span(run.run_ms), run.run_ms),
            Cell(QString::number(run.steps), run.steps),
            Cell(endName(run.end), int(run.end)),
        };
        row[ColExercise]->setData(run.exercise, kExerciseRole);
        for (QStandardItem* item : row)
            item->setToolTip(details);
        for (int c : {ColSpeed, ColRun, ColSteps})
            row[c]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_model->appendRow(row);
    }
    m_table->resizeColumnsToContents();
}

void JournalView::fillChart()
{
    const int exercise = m_exercise->currentIndex();
    const QDateTime now = m_now();
    m_chartView->showRuns(exercise, m_journal.runs({exercise, m_chartView->firstShown(now), {}}), now);
}

void JournalView::chooseCsvFile()
{
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Günlüğü CSV olarak kaydet"),
                                     QDir::home().filePath(QStringLiteral("zerlivan-gunluk.csv")),
                                     QStringLiteral("CSV dosyaları (*.csv);;Tüm dosyalar (*)"));
    if (!path.isEmpty())
        exportCsv(path);
}

bool JournalView::exportCsv(const QString& path)
{
    // Saved as the settings file is: a link is followed, the file's owner and mode are kept,
    // and only a regular file is ever replaced, never a device or a pipe chosen by mistake.
    QBuffer csv;
    QString error;
    if (csv.open(QIODevice::WriteOnly) && writeCsv(csv, m_journal.runs())) {
        zrv::SaveOutcome outcome = zrv::SaveOutcome::Written;
        const int failure = zrv::replaceFile(QFile::encodeName(path), csv.data(), &outcome);
        if (failure == 0 && outcome == zrv::SaveOutcome::Written)
            return true;
        error = failure != 0 ? qt_error_string(failure) : QStringLiteral("normal bir dosya değil");
    } else {
        error = csv.errorString();
    }
    zrv::showMessage(
        QStringLiteral("\"%1\" dosyasına yazılamadı: %2").arg(QDir::toNativeSeparators(path), error));
    return false;
}

void JournalView::openWindow()
{
    if (!m_window) {
        // A window of its own, resizable, that lives as long as the page.
        m_window = new QWidget(window(), Qt::Window);
        m_window->setWindowTitle(QStringLiteral("Zerlivan - Günlük"));
        auto* layout = new QVBoxLayout(m_window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* view = new JournalView(m_journal, false, m_window);
        view->setNow(m_now);
        view->m_exercise->setCurrentIndex(m_exercise->currentIndex());
        layout->addWidget(view);
        m_window->resize(900, 640);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

JournalPage::JournalPage(SqliteJournal& journal, QWidget* parent) : QWidget(parent), m_journal(journal)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

JournalView* JournalPage::view()
{
    if (!m_view) {
        m_view = new JournalView(m_journal, true, this);
        layout()->addWidget(m_view);
    }
    return m_view;
}

void JournalPage::showEvent(QShowEvent* event)
{
    view();
    QWidget::showEvent(event);
}
