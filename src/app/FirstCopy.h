#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace zrv
{

// One window a folder: the first copy of the program started in a folder listens under a name
// made of the user and the folder; a later copy asks it to bring its window to the front and
// ends.  A first copy that cannot be reached (an older version, one that hangs) is not asked:
// the later one then runs as before, without saving the settings (SettingsLock).
class FirstCopy : public QObject
{
    Q_OBJECT
  public:
    explicit FirstCopy(const QString& folder, QObject* parent = nullptr);

    // True when a copy runs in the folder and has brought its window to the front.
    bool askToRaise(int timeout_ms = 2000);
    // From now on, `raise` runs whenever a later copy asks.
    void listen(std::function<void()> raise);

  private:
    QString m_name;
    QLocalServer* m_server = nullptr;
};

} // namespace zrv
