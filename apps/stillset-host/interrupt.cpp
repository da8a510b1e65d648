#include "interrupt.h"

#include "hxhost/interruption.h"

#include <atomic>
#include <csignal>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<bool> caught{false};
std::mutex stepLock;
std::optional<std::function<void()>> cleanStop; // the step that stops cleanly, if one runs

const char kEndedMessage[] = "\nstillset-host: interrupted; what this run had not finished is removed\n";

sigset_t watchedSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    return signals;
}

[[noreturn]] void endNow()
{
    hxhost::removeUnfinishedFiles();
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kEndedMessage, sizeof kEndedMessage - 1);
    _exit(130);
}

void watch(sigset_t signals)
{
    for (;;) {
        int signal = 0;
        if (sigwait(&signals, &signal) != 0)
            continue;
        const bool second = caught.exchange(true);
        std::lock_guard<std::mutex> held(stepLock);
        if (second || !cleanStop)
            endNow();
        if (*cleanStop)
            (*cleanStop)();
    }
}

} // namespace

void watchForInterrupts()
{
    const sigset_t signals = watchedSignals();
    // Blocked here, so in every thread started later: only the watcher's sigwait takes them.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread(watch, signals).detach();
}

bool interrupted()
{
    return caught.load();
}

StopOnInterrupt::StopOnInterrupt(std::function<void()> stop)
{
    std::lock_guard<std::mutex> held(stepLock);
    cleanStop = std::move(stop);
}

StopOnInterrupt::~StopOnInterrupt()
{
    std::lock_guard<std::mutex> held(stepLock);
    cleanStop.reset();
}
