#include "core/Report.h"

#include "core/Exceptions.h"

#include <QDebug>

namespace zrv
{
namespace
{
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

ReportHook& presenter()
{
    static ReportHook p;
    return p;
}

void present(ReportKind kind, const QString& text)
{
    if (hook())
        hook()(kind, text);
    else if (presenter())
        presenter()(kind, text);
    else if (kind == ReportKind::Error)
        qCritical().noquote() << text;
    else
        qInfo().noquote() << text;
}
} // namespace

QString ApplicationTitle()
{
    return title();
}
void SetApplicationTitle(const QString& t)
{
    title() = t;
}
void SetReportHook(ReportHook h)
{
    hook() = std::move(h);
}
void SetReportPresenter(ReportHook p)
{
    presenter() = std::move(p);
}

void ShowException(const QString& message)
{
    QString text = message.trimmed();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    present(ReportKind::Error, text);
}

void ShowMessage(const QString& text)
{
    present(ReportKind::Message, text);
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
