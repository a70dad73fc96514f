// The start-up reference: the smallest Qt Widgets program with a window of the settings
// window's size, one label in it.  zrv_bench_startup measures it beside the program.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Zerlivan"));
    label.setFixedSize(492, 447);
    label.show();
    return QApplication::exec();
}
