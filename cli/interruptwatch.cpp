#include "cli/interruptwatch.h"

#include <QtGlobal>

#include <atomic>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#endif

namespace {

// Lock-free, so the signal handler (or Windows' handler thread) may count.
std::atomic<int> presses{0};

#ifdef Q_OS_WIN

BOOL WINAPI onConsoleControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    presses.fetch_add(1);
    return TRUE;
}

void install()
{
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

void uninstall()
{
    SetConsoleCtrlHandler(onConsoleControl, FALSE);
}

#else

struct sigaction previous;

void onInterrupt(int)
{
    presses.fetch_add(1);
}

void install()
{
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // Restarted calls keep a blocking write of the report from failing.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previous);
}

void uninstall()
{
    sigaction(SIGINT, &previous, nullptr);
}

#endif

}

InterruptWatch::InterruptWatch()
{
    static_assert(std::atomic<int>::is_always_lock_free, "the handler needs a lock-free counter");
    presses.store(0);
    install();
}

InterruptWatch::~InterruptWatch()
{
    uninstall();
}

int InterruptWatch::count() const
{
    return presses.load();
}
