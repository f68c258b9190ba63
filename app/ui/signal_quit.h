#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace orvex {

// Turns SIGINT and SIGTERM into a call on the main thread. The handler only writes the
// signal number into a pipe (the one thing a signal handler may safely do); the event loop
// watches the pipe's other end and calls `onSignal` with the number there.
class SignalQuit {
  public:
    using Handler = std::function<void(int signal)>;

    // Installs the handlers; one instance per process. Construct on the main thread.
    explicit SignalQuit(Handler onSignal);
    ~SignalQuit();
    SignalQuit(const SignalQuit&) = delete;
    SignalQuit& operator=(const SignalQuit&) = delete;

    bool installed() const { return notifier_ != nullptr; }

  private:
    Handler onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace orvex
