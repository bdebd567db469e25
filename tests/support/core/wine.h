#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

// True when a Windows build runs under wine. There a UDP socket bound to one
// loopback address is bound to the whole loopback interface instead, so a
// simulator's discovery socket and the search's own socket share one port and
// either may take the question: tests of the LAN search against an in-process
// simulator cannot work there (scripts/windows.sh checks the Windows search
// against a Linux simulator instead).
inline bool runsUnderWine()
{
#ifdef Q_OS_WIN
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

constexpr const char *kWineSharesUdpPorts =
    "under wine a UDP socket bound to a loopback address listens on every one, "
    "so the simulator's discovery socket cannot be told from the search's";
