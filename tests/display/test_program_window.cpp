#include "display/ProgramWindow.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

class TestProgramWindow : public QObject
{
    Q_OBJECT
  private slots:
    void displayFormCount();
    void modalShowing();
};

void TestProgramWindow::displayFormCount()
{
    const int before = ProgramWindow::DisplayFormCount();
    {
        ProgramWindow a;
        auto* b = new ProgramWindow;
        QCOMPARE(ProgramWindow::DisplayFormCount(), before + 2);
        QVERIFY(a.isWindow() && b->isWindow()); // each its own top-level window
        delete b;
        QCOMPARE(ProgramWindow::DisplayFormCount(), before + 1);
    }
    QCOMPARE(ProgramWindow::DisplayFormCount(), before);
}

// RequestClose only marks the form; the modal loop closes it afterwards and ShowModal returns.
void TestProgramWindow::modalShowing()
{
    ProgramWindow form;
    bool closedInsideRequest = true;
    QTimer::singleShot(0, &form, [&] {
        QVERIFY(form.IsModalRunning());
        form.RequestClose();
        closedInsideRequest = !form.isVisible();
    });
    form.ShowModal();
    QVERIFY(!closedInsideRequest);
    QVERIFY(!form.isVisible());
    QVERIFY(!form.IsModalRunning());
}

QTEST_MAIN(TestProgramWindow)
#include "test_program_window.moc"
