#pragma once
// A test's own working directory, and the texts that message boxes would have shown there, for
// as long as it lives.

#include "core/Report.h"
#include "support/WorkDir.h"

#include <QList>
#include <QStringList>

namespace zrvtest
{

class Sandbox : public WorkDir
{
  public:
    Sandbox()
    {
        zrv::setReportHook([this](zrv::ReportKind kind, const QString& text) {
            reports << text;
            m_kinds << kind;
        });
    }
    ~Sandbox() { zrv::setReportHook({}); }

    // The texts of one kind (errors or messages), in the order they came.
    QStringList Reports(zrv::ReportKind kind) const
    {
        QStringList texts;
        for (qsizetype i = 0; i < reports.size() && i < m_kinds.size(); ++i) {
            if (m_kinds[i] == kind)
                texts << reports[i];
        }
        return texts;
    }

    QStringList reports;

  private:
    QList<zrv::ReportKind> m_kinds; // of each of `reports`
};

} // namespace zrvtest
