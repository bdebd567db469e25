#pragma once

#include "link/fixedprobe.h"
#include "tests/support/core/testsettings.h"
#include "tests/support/widgets/scripteddialogs.h"

// What each case of a window test runs in: a throw-away settings store,
// dialogs answered from a script, and a reachability probe that finds every
// address reachable until told otherwise, so that no case touches the user's
// store, waits on a modal box or pings the network. They come up in this
// order and go down the other way round.
struct WindowSandbox
{
    TestSettings settings;
    ScriptedDialogs dialogs;
    FixedProbe::Scope probe{0};
};
