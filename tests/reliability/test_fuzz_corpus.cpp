// Replays the settings fuzzer's corpus (fuzz/corpus) with the normal compiler: every stored
// input goes through the fuzzer's own round (load, fill, save, load again, fill again) and is
// then shown in a real settings window, whose controls and list must match what the fuzzer's
// widget-free model of the window worked out.
#include "../../fuzz/SettingsModel.h"
#include "display/Report.h"
#include "settings/FontDialog.h"
#include "settings/MainForm.h"
#include "settings/SettingsList.h"
#include "settings/SpinEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace
{

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

zrvfuzz::Selector SelectorOf(const QComboBox* box)
{
    return {box->count(), box->currentIndex()};
}

// The model's values read back from a real window.
zrvfuzz::WindowValues ValuesOf(const TMainForm& form, const QStringList& errors)
{
    zrvfuzz::WindowValues v;
    v.saveOptions = form.boxSaveOptions->isChecked();
    v.boxAls = SelectorOf(form.boxAls);
    v.boxTip = SelectorOf(form.boxTip);
    v.boxYon = SelectorOf(form.boxYon);
    v.boxStr = SelectorOf(form.boxStr);
    v.boxHrf = SelectorOf(form.boxHrf);
    v.boxZmn = SelectorOf(form.boxZmn);
    v.boxAkt = SelectorOf(form.boxAkt);
    v.boxPas = SelectorOf(form.boxPas);
    v.boxNkt = SelectorOf(form.boxNkt);
    v.boxDkk = SelectorOf(form.boxDkk);
    v.speedText = form.valHiz->Text();
    v.txtFnt = form.txtFnt->text();
    v.font = form.FontDialog->Font();
    v.harf[0] = form.boxharf1->isChecked();
    v.harf[1] = form.boxharf2->isChecked();
    v.harf[2] = form.boxharf3->isChecked();
    v.harf[3] = form.boxharf4->isChecked();
    v.currentExercise = form.Model().CurrentExercise();
    v.errors = errors;
    return v;
}

} // namespace

class TestFuzzCorpus : public QObject
{
    Q_OBJECT

  private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir::setCurrent(m_dir->path()));
        m_errors.clear();
        zrv::SetReportHook([this](zrv::ReportKind, const QString& text) { m_errors << text; });
    }
    void cleanup()
    {
        zrv::SetReportHook({});
        QDir::setCurrent(QDir::rootPath());
        m_dir.reset();
    }

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

        // The fuzzer's round.
        const QString fault = zrvfuzz::CheckSettingsFile(bytes, m_dir->filePath(QStringLiteral("round.opt")));
        QVERIFY2(fault.isEmpty(), qPrintable(fault));

        // The model, then the real window, on the same file.
        QFile file(QStringLiteral("zrv.opt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();
        SettingsList list;
        list.Load();
        const zrvfuzz::WindowValues expected = zrvfuzz::ShowWindow(list);

        auto form = std::make_unique<TMainForm>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const zrvfuzz::WindowValues shown = ValuesOf(*form, m_errors);
        QVERIFY2(shown == expected, qPrintable(QStringLiteral("window:\n") + shown.Describe() +
                                               QStringLiteral("model:\n") + expected.Describe()));
        QCOMPARE(form->lstOptions().Lines(), list.Lines());

        // Closing saves when the box is ticked, exactly the list.
        QVERIFY(form->close());
        if (shown.saveOptions)
            QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), SettingsList::Serialize(list.Lines()));
        else
            QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), bytes);
    }

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_errors;
};

QTEST_MAIN(TestFuzzCorpus)
#include "test_fuzz_corpus.moc"
