// Replays the settings fuzzer's corpus (fuzz/corpus) with the normal compiler: every stored
// input goes through the fuzzer's own round (load, show, save, load again, show again) and is
// then shown in a real settings window, whose widgets must show what the model holds and whose
// list must be the one the model alone makes of the file.  The journal fuzzer's corpus
// (fuzz/corpus-journal) goes through that fuzzer's round, the journal's page included.
#include "../../fuzz/JournalChecks.h"
#include "../../fuzz/SettingsChecks.h"
#include "core/Report.h"
#include "gui/SettingsWindow.h"
#include "support/Files.h"
#include "support/Sandbox.h"
#include "support/WindowShowsModel.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestFuzzCorpus : public QObject
{
    Q_OBJECT

  private slots:
    void corpus_data()
    {
        QTest::addColumn<QString>("path");
        // ZRV_FUZZ_CORPUS replays another directory, e.g. the corpus of a long fuzzing run.
        const QDir corpus(qEnvironmentVariable("ZRV_FUZZ_CORPUS", QStringLiteral(ZRV_FUZZ_CORPUS_DIR)));
        const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
        QVERIFY2(files.size() >= 3, "the corpus holds at least the three seeds");
        for (const QString& name : files)
            QTest::newRow(qPrintable(name)) << corpus.filePath(name);
    }
    void corpus()
    {
        QFETCH(QString, path);
        const QByteArray bytes = ReadAll(path);
        const zrvtest::Sandbox dir;
        QVERIFY(dir.isValid());

        // The fuzzer's round.
        const QString fault = zrvfuzz::CheckSettingsFile(bytes, dir.filePath(QStringLiteral("round.opt")));
        QVERIFY2(fault.isEmpty(), qPrintable(fault));

        // The model alone, then the real window, on the same file.
        QVERIFY(WriteAll(QStringLiteral("zrv.opt"), bytes));
        SettingsModel model;
        model.list().load();
        QStringList errors;
        zrvfuzz::Show(model, errors);

        auto form = std::make_unique<SettingsWindow>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const QString unlike = zrvtest::UnlikeModel(*form);
        QVERIFY2(unlike.isEmpty(),
                 qPrintable(unlike + QStringLiteral("\n") + zrvfuzz::Describe(form->model(), {})));
        QCOMPARE(zrvfuzz::Describe(form->model(), dir.reports), zrvfuzz::Describe(model, errors));
        QCOMPARE(form->lstOptions().lines(), model.list().lines());

        // Closing saves when the box is ticked, exactly the list.
        QVERIFY(form->close());
        if (model.saveOptions())
            QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), SettingsList::serialize(model.list().lines()));
        else
            QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), bytes);
    }

    void journalCorpus_data()
    {
        QTest::addColumn<QString>("path");
        const QDir corpus(QStringLiteral(ZRV_FUZZ_JOURNAL_CORPUS_DIR));
        for (const QString& name : corpus.entryList(QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << corpus.filePath(name);
    }
    void journalCorpus()
    {
        QFETCH(QString, path);
        const QTemporaryDir dir;
        const QString fault =
            zrvfuzz::CheckJournalFile(ReadAll(path), dir.filePath(QStringLiteral("j")), true);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
};

QTEST_MAIN(TestFuzzCorpus)
#include "test_fuzz_corpus.moc"
