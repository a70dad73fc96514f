#pragma once
// A test's own working directory, and the texts that message boxes would have shown there, for
// as long as it lives.

#include "common/WorkDir.h"
#include "display/Report.h"

#include <QStringList>

namespace zrvtest
{

class Sandbox : public WorkDir
{
  public:
    Sandbox()
    {
        zrv::SetReportHook([this](zrv::ReportKind, const QString& text) { reports << text; });
    }
    ~Sandbox() { zrv::SetReportHook({}); }

    QStringList reports;
};

} // namespace zrvtest
