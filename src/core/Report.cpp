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

QString applicationTitle()
{
    return title();
}
void setApplicationTitle(const QString& t)
{
    title() = t;
}
void setReportHook(ReportHook h)
{
    hook() = std::move(h);
}
void setReportPresenter(ReportHook p)
{
    presenter() = std::move(p);
}

void showException(const QString& message)
{
    QString text = message.trimmed();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    present(ReportKind::Error, text);
}

void showMessage(const QString& text)
{
    present(ReportKind::Message, text);
}

void showError(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        showException(own->message());
    else
        showException(QString::fromLocal8Bit(error.what()));
}

} // namespace zrv
