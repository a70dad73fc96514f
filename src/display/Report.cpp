#include "display/Report.h"

#include "core/Exceptions.h"

#include <QApplication>
#include <QMessageBox>

namespace zrv {
namespace {
QString& title()
{
    static QString t = QStringLiteral("Nivoleth");
    return t;
}
ReportHook& hook()
{
    static ReportHook h;
    return h;
}

void showBox(QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, ApplicationTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
} // namespace

QString ApplicationTitle() { return title(); }
void SetApplicationTitle(const QString& t) { title() = t; }
void SetReportHook(ReportHook h) { hook() = std::move(h); }

void ShowException(const QString& message)
{
    QString text = message.trimmed();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    if (hook())
        hook()(ReportKind::Error, text);
    else
        showBox(QMessageBox::Critical, text);
}

void ShowMessage(const QString& text)
{
    if (hook())
        hook()(ReportKind::Message, text);
    else
        showBox(QMessageBox::NoIcon, text);
}

void Guarded(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        ShowException(e.Message());
    } catch (const std::exception& e) {
        ShowException(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace zrv
