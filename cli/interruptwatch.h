#pragma once

// Counts Ctrl+C (SIGINT; on Windows the console's Ctrl+C and Ctrl+Break)
// while it lives, instead of letting it end the process, so that a command
// can finish what it has begun. Only one may live at a time.
class InterruptWatch
{
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

    // Ctrl+C presses since construction; safe to read at any time.
    int count() const;
};
