// Replays the settings fuzzer's corpus (fuzz/corpus) with the normal compiler: every stored
// input goes through the fuzzer's own round (load, show, save, load again, show again) and is
// then shown in a real settings window, whose widgets must show what the model holds and whose
// list must be the one the model alone makes of the file.
#include "../../fuzz/SettingsChecks.h"
#include "core/Report.h"
#include "gui/FontDialog.h"
#include "gui/SettingsWindow.h"
#include "gui/SpinEdit.h"
#include "support/Files.h"
#include "support/Sandbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace
{

// Where the window's widgets show something else than its model; empty when they agree.
QString UnlikeModel(const SettingsWindow& form)
{
    const SettingsModel& m = form.model();
    QStringList unlike;
    const QComboBox* const boxes[] = {form.boxAls, form.boxTip, form.boxYon, form.boxStr, form.boxHrf,
                                      form.boxZmn, form.boxAkt, form.boxPas, form.boxNkt, form.boxDkk};
    for (int i = 0; i < SettingsModel::SelectorCount; ++i) {
        const auto selector = SettingsModel::Selector(i);
        QStringList items;
        for (int k = 0; k < boxes[i]->count(); ++k)
            items << boxes[i]->itemText(k);
        if (items != m.items(selector) || boxes[i]->currentIndex() != m.index(selector))
            unlike << QStringLiteral("selector %1").arg(i);
    }
    const QCheckBox* const groups[] = {form.boxharf1, form.boxharf2, form.boxharf3, form.boxharf4};
    for (int i = 0; i < 4; ++i) {
        if (groups[i]->isChecked() != m.letterGroup(i) || groups[i]->isHidden() == m.textControlsVisible())
            unlike << QStringLiteral("boxharf%1").arg(i + 1);
    }
    if (form.boxSaveOptions->isChecked() != m.saveOptions())
        unlike << QStringLiteral("boxSaveOptions");
    if (form.valHiz->text() != m.intervalText())
        unlike << QStringLiteral("valHiz");
    if (form.txtFnt->text() != m.fontText() || !(form.FontDialog->font() == m.font()))
        unlike << QStringLiteral("font");
    if (form.btnAls->text() != m.startCaption())
        unlike << QStringLiteral("btnAls");
    return unlike.join(QLatin1Char(' '));
}

} // namespace

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
        const QString unlike = UnlikeModel(*form);
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
};

QTEST_MAIN(TestFuzzCorpus)
#include "test_fuzz_corpus.moc"
