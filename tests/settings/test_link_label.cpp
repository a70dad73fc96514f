// The link labels on a dark desktop and from the keyboard: drawn in the palette's link colour,
// in its visited colour once used, reached with Tab and pressed with Enter or Space.
#include "gui/LinkLabel.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace
{
// How many pixels of the label have exactly this colour.
int PixelsOf(QWidget* w, QColor color)
{
    const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += QColor(image.pixel(x, y)) == color;
    return n;
}
} // namespace

class TestLinkLabel : public QObject
{
    Q_OBJECT

  private slots:
    void darkPaletteAndKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }
    void darkPaletteAndKeyboard()
    {
        QFETCH(int, key);
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
        dark.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
        dark.setColor(QPalette::LinkVisited, QColor(0xc5, 0x8a, 0xf9));
        QWidget window;
        window.setPalette(dark);
        auto* before = new QLineEdit(&window);
        auto* link = new LinkLabel(QStringLiteral("Hızlı Okuma"), &window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(link);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QVERIFY(PixelsOf(link, dark.color(QPalette::Link)) > 10);
        QCOMPARE(PixelsOf(link, QColor(0, 0, 0x80)), 0);

        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
        QVERIFY(link->hasFocus());
        QSignalSpy clicked(link, &LinkLabel::clicked);
        QTest::keyClick(link, Qt::Key(key));
        QCOMPARE(clicked.size(), 1);
        QVERIFY(link->visited());
        QVERIFY(PixelsOf(link, dark.color(QPalette::LinkVisited)) > 10);
        QCOMPARE(PixelsOf(link, dark.color(QPalette::Link)), 0);
    }
};

QTEST_MAIN(TestLinkLabel)
#include "test_link_label.moc"
