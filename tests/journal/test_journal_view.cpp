// The journal's page on the offscreen platform: the table, the chart, the totals, what it says
// about a file it cannot use, and the CSV export.
#include "JournalRig.h"
#include "gui/JournalView.h"
#include "gui/RunChart.h"
#include "journal/SqliteJournal.h"
#include "support/Files.h"
#include "support/Sandbox.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScatterSeries>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using zrvtest::At;
using zrvtest::Paced;
using zrvtest::SampleRun;

class TestJournalView : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    static QString CellText(QTableView* table, int row, int column)
    {
        return table->model()->index(row, column).data().toString();
    }
    // The paces of the runs the chart shows, in the order they were run.
    static QList<double> ChartSpeeds(QWidget* chartView)
    {
        auto* view = qobject_cast<QChartView*>(chartView);
        if (!view)
            return {};
        QList<QPointF> points;
        for (QAbstractSeries* s : view->chart()->series())
            if (auto* runs = qobject_cast<QScatterSeries*>(s))
                points += runs->points();
        std::sort(points.begin(), points.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); });
        QList<double> speeds;
        for (const QPointF& p : points)
            speeds.append(p.y());
        return speeds;
    }

  private slots:
    void showsTheRuns()
    {
        SqliteJournal journal(m_dir.filePath(QStringLiteral("shows.sqlite")));
        const RunRecord a = Paced(SampleRun(1, At(2024, 5, 6, 8), 1), 300);
        const RunRecord b = Paced(SampleRun(1, At(2024, 5, 6, 20), 2), 500, a.run_ms);
        const RunRecord c = Paced(SampleRun(1, At(2024, 5, 8, 9), 3), 350);
        const RunRecord d = Paced(SampleRun(0, At(2024, 4, 1, 9), 4), 450); // older than 30 days
        const RunRecord e = Paced(SampleRun(2, At(2024, 5, 9, 7), 5), 390);
        for (const RunRecord& run : {a, b, c, d, e})
            journal.record(run);

        JournalView view(journal, true);
        view.setNow([] { return At(2024, 5, 9, 12); }); // a Thursday
        view.resize(473, 400);
        QTableView* table = view.table();
        QCOMPARE(table->model()->rowCount(), 5);
        QCOMPARE(CellText(table, 0, 0), QStringLiteral("09.05.2024 07:00"));
        QCOMPARE(CellText(table, 4, 1), QStringLiteral("Nokta"));
        table->sortByColumn(3, Qt::AscendingOrder); // speed
        QCOMPARE(CellText(table, 0, 3), QStringLiteral("300"));
        QCOMPARE(CellText(table, 4, 3), QStringLiteral("500"));

        // The chart opened on the latest run's exercise; a row picks another.
        QCOMPARE(view.exerciseBox()->currentIndex(), 2);
        table->selectRow(1); // 350 ms, Pyramid
        QCOMPARE(view.exerciseBox()->currentIndex(), 1);
        // b showed nothing (the display could not be taken): no point.
        QCOMPARE(ChartSpeeds(view.chart()), (QList<double>{300, 350}));

        // This week from Monday the 6th: a, b, c, e; the last 30 days add nothing older.
        QVERIFY2(view.totalsLabel()->text().contains(
                     QStringLiteral("Bugün: 1 çalışma, 1 dk 5 sn     Bu hafta: 4 çalışma")),
                 qPrintable(view.totalsLabel()->text()));
        QVERIFY(view.totalsLabel()->text().contains(QStringLiteral("Son 30 gün: 4 çalışma")));
        QVERIFY(view.status()->isHidden());

        // A run recorded while the page is open shows once the event that recorded it is over.
        journal.record(SampleRun(0, At(2024, 5, 9, 11), 6));
        QTRY_COMPARE(table->model()->rowCount(), 6);

        // The page's button opens the journal in a window of its own that can be resized,
        // with the same runs.
        const auto buttons = view.findChildren<QPushButton*>();
        const auto large = std::find_if(buttons.begin(), buttons.end(), [](QPushButton* b) {
            return b->text() == QStringLiteral("&Büyük pencere");
        });
        QVERIFY(large != buttons.end());
        (*large)->click();
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == QStringLiteral("Zerlivan - Günlük"))
                window = w;
        QVERIFY(window);
        QVERIFY(window->minimumSize() != window->maximumSize());
        QCOMPARE(window->findChild<JournalView*>()->table()->model()->rowCount(), 6);
    }

    void saysWhatIsWrongWithTheFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("damaged.sqlite"));
        QVERIFY(WriteAll(path, QByteArray(3000, 'x')));
        {
            SqliteJournal journal(path);
            JournalView view(journal, true);
            QVERIFY(!view.status()->isHidden());
            QVERIFY(view.status()->text().contains(QFileInfo(journal.asidePath()).fileName()));
        }
        zrvtest::RawDb other(path, QStringLiteral("other"));
        QVERIFY(other.HoldExclusively());
        SqliteJournal journal(path);
        JournalView view(journal, true);
        journal.record(SampleRun(0, At(2024, 5, 9, 11)));
        QTRY_VERIFY(view.status()->text().contains(QStringLiteral("bekleyen çalışma: 1")));
        QVERIFY(view.status()->text().contains(QStringLiteral("başka bir Zerlivan")));
        // However long, the message keeps to one line: the chart keeps its room.
        QVERIFY(view.status()->sizeHint().height() < 2 * view.status()->fontMetrics().height());
        QCOMPARE(view.table()->model()->rowCount(), 1);
        // A run held in memory is deleted as well, once the person says yes.
        bool yes = false;
        view.setConfirm([&yes](const QString&) { return std::exchange(yes, true); });
        view.table()->selectRow(0);
        view.removeSelected();
        QCOMPARE(journal.pendingCount(), 1);
        view.removeSelected();
        QCOMPARE(journal.pendingCount(), 0);
    }

    void exportsCsv()
    {
        zrvtest::Sandbox sandbox; // the message box of a failed export
        SqliteJournal journal(m_dir.filePath(QStringLiteral("export.sqlite")));
        journal.record(SampleRun(2, At(2024, 5, 9, 11)));
        JournalView view(journal, false);
        const QString csv = m_dir.filePath(QStringLiteral("günlük.csv"));
        QVERIFY(view.exportCsv(csv));
        QVERIFY(QString::fromUtf8(ReadAll(csv)).contains(QStringLiteral("Blok")));
        const QList<QLabel*> labels = view.findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.begin(), labels.end(), [](const QLabel* l) {
            return l->text() == QStringLiteral("Kaydedildi: günlük.csv");
        }));

        QVERIFY(!view.exportCsv(m_dir.filePath(QStringLiteral("no/such/folder/x.csv"))));
        QCOMPARE(sandbox.reports.size(), 1);
        // A pipe chosen as the file is left a pipe, and the export said to have failed.
        const QByteArray fifo = QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.csv")));
        QVERIFY(::mkfifo(fifo.constData(), 0644) == 0 && !view.exportCsv(QFile::decodeName(fifo)));
        QCOMPARE(sandbox.reports.size(), 2);
        struct stat st {
        };
        QVERIFY(::lstat(fifo.constData(), &st) == 0 && S_ISFIFO(st.st_mode));
    }

    // The chart comes from a module looked for in folders: a folder without it or with some
    // other file of its name gives no chart and says why, never a crash.
    void loadsTheChartModule_data()
    {
        QTest::addColumn<QString>("content"); // of the module's file in the folder; "-": no file
        QTest::addColumn<bool>("loads");
        QTest::newRow("no module") << QStringLiteral("-") << false;
        QTest::newRow("not a module") << QStringLiteral("text") << false;
        QTest::newRow("the built module") << QString() << true;
    }
    void loadsTheChartModule()
    {
        QFETCH(QString, content);
        QFETCH(bool, loads);
        QStringList folders = zrv::runChartFolders();
        if (!content.isEmpty()) {
            const QString folder = m_dir.filePath(QTest::currentDataTag());
            QVERIFY(QDir().mkpath(folder));
            if (content != QStringLiteral("-"))
                QVERIFY(
                    WriteAll(QDir(folder).filePath(QStringLiteral(ZRV_CHART_MODULE_FILE)), content.toUtf8()));
            folders = {folder};
        }
        QString error;
        QCOMPARE(zrv::loadRunChartFactory(folders, &error) != nullptr, loads);
        QCOMPARE(error.isEmpty(), loads);
    }
};

QTEST_MAIN(TestJournalView)
#include "test_journal_view.moc"
