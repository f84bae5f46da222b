#include "headless/signal_watcher.h"

#include "text/file_errors.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vellumax {
namespace {

constexpr int kWatched[] = {SIGINT, SIGTERM};

// One watcher at a time: the handler needs the pipe without an object.
int gWriteEnd = -1;
struct sigaction gPrevious[2];

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // A full pipe already holds enough to wake the loop.
    [[maybe_unused]] const ssize_t n = ::write(gWriteEnd, &number, 1);
    errno = saved;
}

} // namespace

SignalWatcher::SignalWatcher(std::function<void(int)> received) : received_(std::move(received))
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        throwFileError(errno);
    readEnd_.reset(ends[0]);
    writeEnd_.reset(ends[1]);
    gWriteEnd = writeEnd_.get();
    notifier_ = std::make_unique<QSocketNotifier>(readEnd_.get(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readSignals(); });

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i)
        ::sigaction(kWatched[i], &action, &gPrevious[i]);
}

SignalWatcher::~SignalWatcher()
{
    for (int i = 0; i < 2; ++i)
        ::sigaction(kWatched[i], &gPrevious[i], nullptr);
    gWriteEnd = -1;
    notifier_.reset();
}

void SignalWatcher::readSignals()
{
    unsigned char numbers[16];
    ssize_t n;
    while ((n = ::read(readEnd_.get(), numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < n; ++i)
            received_(numbers[i]);
    }
}

} // namespace vellumax
