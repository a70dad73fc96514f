// Zerlivan: a trainer for the eye exercises of speed reading.
#include "core/Report.h"
#include "exercises/ScreenForm.h"
#include "settings/MainForm.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nivoleth"));
    zrv::SetApplicationTitle(QStringLiteral("Nivoleth"));

    // The settings window first: it is the main window.  The exercise window stays hidden
    // until the start button shows it.  Both live until the program ends.
    TMainForm mainForm;
    TScreenForm screenForm(&mainForm);
    mainForm.SetScreenForm(&screenForm);

    mainForm.show();
    return QApplication::exec();
}
