// The real font dialog, used from the keyboard: it opens on the face that is drawn for the
// stored font, at its size and style, and one key closes all of it.
#include "gui/FontDialog.h"

#include <QApplication>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QListView>
#include <QSizeGrip>
#include <QTest>
#include <QTimer>

class TestFontDialog : public QObject
{
    Q_OBJECT

    static bool AnyWindowShown()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible())
                return true;
        }
        return false;
    }

  private slots:
    void oneKeyEndsIt_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("Escape cancels") << int(Qt::Key_Escape) << false;
        QTest::newRow("Enter accepts") << int(Qt::Key_Return) << true;
    }
    void oneKeyEndsIt()
    {
        QFETCH(int, key);
        QFETCH(bool, accepted);
        FontDialog fonts;
        const FontSpec stored{QStringLiteral("Courier New"), 14, 162, fsBold};
        fonts.setFont(stored);
        const QString drawn = QFontInfo(QFont(stored.name)).family();

        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            auto* inner = dialog->findChild<QFontDialog*>();
            QVERIFY(inner);
            const QFont shown = inner->currentFont();
            QCOMPARE(shown.family(), drawn);
            QCOMPARE(shown.pointSize(), 14);
            QVERIFY(shown.bold());
            QVERIFY(!shown.italic());
            auto* substitute = dialog->findChild<QLabel*>(QStringLiteral("substitute"));
            QCOMPARE(substitute != nullptr, drawn != stored.name);
            if (substitute)
                QVERIFY(substitute->text().contains(QStringLiteral("Courier New → ") + drawn));
            for (QSizeGrip* grip : dialog->findChildren<QSizeGrip*>())
                QVERIFY(!grip->isVisible());

            // The key in the list of faces, where the keyboard is at first.
            QListView* faces = inner->findChildren<QListView*>().value(0);
            QVERIFY(faces);
            faces->setFocus();
            seen = true;
            QTest::keyClick(faces, Qt::Key(key));
        });
        QCOMPARE(fonts.execute(nullptr), accepted);
        QVERIFY(seen);
        QVERIFY2(!AnyWindowShown(), "a part of the dialog is still shown");
        // The face left as it was keeps its stored name.
        QCOMPARE(fonts.font(), stored);
    }
};

QTEST_MAIN(TestFontDialog)
#include "test_font_dialog.moc"
