#include "gui/JournalView.h"

#include "core/Report.h"
#include "core/SafeSave.h"
#include "gui/RunChart.h"
#include "journal/JournalFigures.h"
#include "journal/ReadingStore.h"
#include "journal/RoutinePlan.h"
#include "journal/RunTableModel.h"
#include "journal/SqliteJournal.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace
{
// Rows of the latest runs on the settings window's page.
constexpr int kCompactRows = 4;

QString totalText(const QString& what, const Totals& t)
{
    return QCoreApplication::translate("JournalView", "%1: %n çalışma, %2", nullptr, t.runs)
        .arg(what, spanName(t.minutes * 60'000.0));
}

// A label of one line, however long its text: what does not fit is elided, so that a long
// message never takes the chart's room; the whole text is in the tooltip.
class OneLineLabel : public QLabel
{
  public:
    using QLabel::QLabel;
    QSize sizeHint() const override { return {QLabel::sizeHint().width(), minimumSizeHint().height()}; }
    QSize minimumSizeHint() const override
    {
        const QMargins m = contentsMargins();
        return {m.left() + m.right(), fontMetrics().height() + m.top() + m.bottom()};
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect r = contentsRect();
        style()->drawItemText(&painter, r, int(Qt::AlignLeft | Qt::AlignVCenter), palette(), isEnabled(),
                              fontMetrics().elidedText(text(), Qt::ElideRight, r.width()), foregroundRole());
    }
};
} // namespace

JournalView::JournalView(SqliteJournal& journal, bool compact, QWidget* parent)
    : QWidget(parent), m_journal(journal), m_compact(compact),
      m_now([] { return QDateTime::currentDateTime(); }), m_confirm([this](const QString& question) {
          // "No" is the default: Enter never deletes.
          return QMessageBox::question(this, zrv::applicationTitle(), question,
                                       QMessageBox::Yes | QMessageBox::No,
                                       QMessageBox::No) == QMessageBox::Yes;
      })
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(compact ? 6 : 10, compact ? 6 : 10, compact ? 6 : 10, compact ? 6 : 10);
    layout->setSpacing(compact ? 4 : 6);

    m_status = new OneLineLabel(this);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_status->setStyleSheet(QStringLiteral("color: #a00000;"));
    m_status->hide();
    layout->addWidget(m_status);

    m_totals = new QLabel(this);
    layout->addWidget(m_totals);
    m_progress = new OneLineLabel(this);
    m_progress->setObjectName(QStringLiteral("journalProgress"));
    m_progress->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    layout->addWidget(m_progress);

    m_model = new RunTableModel(m_journal, this);
    m_table = new QTableView(this);
    m_table->setModel(m_model);
    // The model is read newest first already: sorting on the same column and order reads nothing.
    m_table->horizontalHeader()->setSortIndicator(RunTableModel::Date, Qt::DescendingOrder);
    m_table->setSortingEnabled(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setAlternatingRowColors(true);
    if (compact) {
        // The latest runs, as many whole rows as the page has room for, every column in view;
        // the whole table is in the big window.  The type, the steps and the end are in
        // the row's tooltip.
        m_table->setColumnHidden(RunTableModel::Type, true);
        m_table->setColumnHidden(RunTableModel::Steps, true);
        m_table->setColumnHidden(RunTableModel::End, true);
        // Each column as wide as its texts (equal shares cut the longer ones), the last one
        // taking what is left.
        m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_table->setFixedHeight(m_table->horizontalHeader()->sizeHint().height() +
                                kCompactRows * m_table->verticalHeader()->defaultSectionSize() +
                                2 * m_table->frameWidth());
    }
    layout->addWidget(m_table, compact ? 0 : 5);
    // Delete, or the row's menu, takes the selected runs out of the journal once confirmed.
    m_table->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* removeAction = new QAction(tr("Seçili çalışmaları sil..."), m_table);
    removeAction->setShortcut(QKeySequence::Delete);
    removeAction->setShortcutContext(Qt::WidgetShortcut);
    m_table->addAction(removeAction);
    connect(removeAction, &QAction::triggered, this, &JournalView::removeSelected);

    auto* chartRow = new QHBoxLayout;
    auto* chartLabel = new QLabel(tr("&Grafik:"), this);
    chartRow->addWidget(chartLabel);
    m_exercise = new QComboBox(this);
    chartLabel->setBuddy(m_exercise);
    m_exercise->addItems({exerciseName(0), exerciseName(1), exerciseName(2), tr("Okuma testleri")});
    chartRow->addWidget(m_exercise);
    chartRow->addStretch(1);
    // Where the last export went, beside the button that made it.
    m_exported = new QLabel(this);
    m_exported->setStyleSheet(QStringLiteral("color: #206020;"));
    chartRow->addWidget(m_exported);
    auto* exportButton = new QPushButton(tr("&CSV olarak kaydet..."), this);
    chartRow->addWidget(exportButton);
    if (compact) {
        auto* windowButton = new QPushButton(tr("&Büyük pencere"), this);
        chartRow->addWidget(windowButton);
        connect(windowButton, &QPushButton::clicked, this, &JournalView::openWindow);
    }
    layout->addLayout(chartRow);

    QString chartError;
    m_chart = zrv::createRunChart(compact, this, &chartError);
    if (m_chart) {
        m_chartWidget = m_chart->widget();
    } else {
        auto* missing = new QLabel(tr("Grafik gösterilemiyor: %1").arg(chartError), this);
        missing->setWordWrap(true);
        missing->setAlignment(Qt::AlignCenter);
        m_chartWidget = missing;
    }
    layout->addWidget(m_chartWidget, compact ? 5 : 7);

    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    m_exercise->setCurrentIndex(m_model->run(current.row()).exercise);
            });
    connect(exportButton, &QPushButton::clicked, this, &JournalView::chooseCsvFile);
    // A run is recorded as the exercise window closes: the page catches up after that.
    m_refreshLater = new QTimer(this);
    m_refreshLater->setSingleShot(true);
    m_refreshLater->setInterval(0);
    connect(m_refreshLater, &QTimer::timeout, this, &JournalView::refresh);
    connect(&m_journal, &SqliteJournal::changed, m_refreshLater, qOverload<>(&QTimer::start));
    // The table has read its first page; the chart opens on the exercise of the latest run.
    if (m_model->rowCount() > 0)
        m_exercise->setCurrentIndex(m_model->run(0).exercise);
    connect(m_exercise, &QComboBox::currentIndexChanged, this, &JournalView::fillChart);
    fillStatus();
    fillChart();
    m_table->resizeColumnsToContents();
}

void JournalView::setConfirm(std::function<bool(const QString& question)> confirm)
{
    m_confirm = std::move(confirm);
}

void JournalView::removeSelected()
{
    QList<RunRecord> runs;
    for (const QModelIndex& row : m_table->selectionModel()->selectedRows())
        runs.append(m_model->run(row.row()));
    if (runs.isEmpty())
        return;
    const QString question =
        runs.size() == 1 ? tr("%1 tarihli çalışma günlükten silinsin mi?")
                               .arg(m_model
                                        ->index(m_table->selectionModel()->selectedRows().first().row(),
                                                RunTableModel::Date)
                                        .data()
                                        .toString())
                         : tr("Seçili %n çalışma günlükten silinsin mi?", nullptr, int(runs.size()));
    if (!m_confirm(question))
        return;
    if (!m_journal.remove(runs))
        zrv::showMessage(tr("Çalışmalar silinemedi: günlük dosyasına şu an yazılamıyor."));
}

void JournalView::setNow(std::function<QDateTime()> now)
{
    m_now = std::move(now);
    refresh();
}

void JournalView::refresh()
{
    m_refreshLater->stop();
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
            text = tr("Günlük dosyası bozuktu: \"%1\" adıyla bir kenara kondu, yeni bir günlük başlatıldı.")
                       .arg(QDir::toNativeSeparators(m_journal.asidePath()));
        break;
    case JournalState::ReadOnly:
        text = tr("Günlük dosyasına yazılamıyor (salt okunur): yeni çalışmalar yalnızca program "
                  "açıkken tutuluyor.");
        break;
    case JournalState::Locked:
        text = tr("Günlük dosyası başka bir Zerlivan tarafından kullanılıyor: yeni çalışmalar, dosya "
                  "serbest kalınca kaydedilecek.");
        break;
    case JournalState::NewerVersion:
        text = tr("Günlük dosyası programın daha yeni bir sürümüne ait: okunuyor, değiştirilmiyor.");
        break;
    case JournalState::Unavailable:
        text = tr("Günlük açılamadı: yeni çalışmalar yalnızca program açıkken tutuluyor.");
        break;
    }
    if (m_journal.pendingCount() > 0)
        text += tr(" Kaydedilmeyi bekleyen çalışma: %1.").arg(m_journal.pendingCount());
    m_status->setText(text.trimmed());
    m_status->setToolTip(text.trimmed() + QStringLiteral("\n\n") +
                         QDir::toNativeSeparators(m_journal.path()) + QLatin1Char('\n') +
                         m_journal.errorText());
    m_status->setVisible(!text.isEmpty());

    const QDateTime now = m_now();
    const QDateTime tomorrow = tomorrowStart(now);
    const Totals today = m_journal.totals({{}, todayStart(now), tomorrow});
    m_totals->setText(
        totalText(tr("Bugün"), today) + QStringLiteral("     ") +
        totalText(tr("Bu hafta"), m_journal.totals({{}, weekStart(now), tomorrow})) +
        (m_compact ? QStringLiteral("\n") : QStringLiteral("     ")) +
        totalText(tr("Son 30 gün"), m_journal.totals({{}, thirtyDaysStart(now), tomorrow})) +
        QStringLiteral("     ") +
        goalText(today.minutes, m_journal.routine().value_or(Routine::standard()).goal_minutes));
}

void JournalView::fillTable()
{
    m_model->setZone(m_now().timeZone());
    m_model->reload();
    m_table->resizeColumnsToContents();
}

void JournalView::fillChart()
{
    const int exercise = m_exercise->currentIndex();
    const QDateTime now = m_now();
    if (exercise == Routine::kExercises) { // the reading tests
        if (m_chart)
            m_chart->showReadings(ReadingStore(m_journal).tests(), now);
        m_progress->clear();
        return;
    }
    if (m_chart)
        m_chart->showRuns(exercise, m_journal.runs({exercise, m_chart->firstShown(now), {}}), now);

    // How the routine has brought this exercise's pace on.
    RunQuery steps{exercise, weekStart(now).addDays(qint64(-7) * 5), {}};
    steps.routineOnly = true;
    const QString progress = progressText(m_journal.runs(steps), exercise, now);
    m_progress->setText(
        progress.isEmpty() ? QString()
                           : tr("Programda %1, haftalık en hızlı: %2").arg(exerciseName(exercise), progress));
    m_progress->setToolTip(m_progress->text());
}

void JournalView::chooseCsvFile()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Günlüğü CSV olarak kaydet"),
                                                      QDir::home().filePath(tr("zerlivan-gunluk.csv")),
                                                      tr("CSV dosyaları (*.csv);;Tüm dosyalar (*)"));
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
        int failure = zrv::replaceFile(QFile::encodeName(path), csv.data(), &outcome);
        // The reading tests, whose columns are others, in a file of their own beside it.
        const QList<ReadingTest> readings = ReadingStore(m_journal).tests();
        QBuffer readingCsv;
        if (failure == 0 && outcome == zrv::SaveOutcome::Written && !readings.isEmpty() &&
            readingCsv.open(QIODevice::WriteOnly) && zrv::writeReadingCsv(readingCsv, readings))
            failure =
                zrv::replaceFile(QFile::encodeName(zrv::readingCsvPath(path)), readingCsv.data(), &outcome);
        if (failure == 0 && outcome == zrv::SaveOutcome::Written) {
            m_exported->setText(tr("Kaydedildi: %1").arg(QFileInfo(path).fileName()));
            m_exported->setToolTip(QDir::toNativeSeparators(path));
            return true;
        }
        error = failure != 0 ? qt_error_string(failure) : tr("normal bir dosya değil");
    } else {
        error = csv.errorString();
    }
    zrv::showMessage(tr("\"%1\" dosyasına yazılamadı: %2").arg(QDir::toNativeSeparators(path), error));
    return false;
}

void JournalView::openWindow()
{
    if (!m_window) {
        // A window of its own, resizable, that lives as long as the page.
        m_window = new QWidget(window(), Qt::Window);
        m_window->setWindowTitle(QCoreApplication::translate("JournalView", "Zerlivan - Günlük"));
        auto* layout = new QVBoxLayout(m_window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* view = new JournalView(m_journal, false, m_window);
        view->setNow(m_now);
        view->m_exercise->setCurrentIndex(m_exercise->currentIndex());
        layout->addWidget(view);
        m_window->resize(900, 640);
        auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), m_window);
        connect(close, &QShortcut::activated, m_window, &QWidget::close);
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
