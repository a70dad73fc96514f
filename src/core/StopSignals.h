#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals by which a program is asked to stop (SIGTERM at logout or shutdown, SIGHUP
// when its terminal goes, SIGINT from Ctrl+C) into a Qt signal on the thread that made the
// object, so that the program can end the way a person ends it.  The signal handler only writes
// the signal's number into a pipe; the rest happens in the event loop.  One object at a time;
// while it exists the three signals no longer end the process by themselves.
class StopSignals : public QObject
{
    Q_OBJECT
  public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    // From here on a write to a pipe or socket whose reader has gone (a log piped into
    // "grep -m1", a closed terminal) fails with EPIPE instead of ending the process.  Programs
    // started later get the default action back.  Called once, early in main().
    static void ignoreBrokenPipes();

    // False when the pipe or the handlers could not be set up (the signals then keep their
    // default action).
    bool isActive() const { return m_notifier != nullptr; }

  signals:
    // signal_number: SIGTERM, SIGHUP or SIGINT.  Once for every signal received.
    void stopRequested(int signal_number);

  private:
    void readPending();

    QSocketNotifier* m_notifier = nullptr;
};
