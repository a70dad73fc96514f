#include "gui/MessageBoxes.h"

#include "core/Report.h"

#include <QApplication>
#include <QMessageBox>

namespace zrv
{

void useMessageBoxes()
{
    setReportPresenter([](ReportKind kind, const QString& text) {
        const auto icon = kind == ReportKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon;
        QMessageBox box(icon, applicationTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });
}

} // namespace zrv
