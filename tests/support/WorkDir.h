#pragma once
// A test's own working directory: a new temporary directory, the current one while it lives.

#include <QDir>
#include <QTemporaryDir>

namespace zrvtest
{

class WorkDir
{
  public:
    WorkDir() : m_valid(m_dir.isValid() && QDir::setCurrent(m_dir.path())) {}
    ~WorkDir() { QDir::setCurrent(QDir::rootPath()); }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    bool isValid() const { return m_valid; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

  private:
    QTemporaryDir m_dir;
    bool m_valid;
};

} // namespace zrvtest
