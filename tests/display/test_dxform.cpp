#include "display/DXForm.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

class TestDXForm : public QObject
{
    Q_OBJECT
  private slots:
    void displayFormCount();
    void modalShowing();
};

void TestDXForm::displayFormCount()
{
    const int before = TDXForm::DisplayFormCount();
    {
        TDXForm a;
        auto* b = new TDXForm;
        QCOMPARE(TDXForm::DisplayFormCount(), before + 2);
        QVERIFY(a.isWindow() && b->isWindow()); // each its own top-level window
        delete b;
        QCOMPARE(TDXForm::DisplayFormCount(), before + 1);
    }
    QCOMPARE(TDXForm::DisplayFormCount(), before);
}

// RequestClose only marks the form; the modal loop closes it afterwards and ShowModal returns.
void TestDXForm::modalShowing()
{
    TDXForm form;
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

QTEST_MAIN(TestDXForm)
#include "test_dxform.moc"
