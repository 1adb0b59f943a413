#pragma once

#include <QString>

class QObject;

// Answers whether another instance of the program was running when this process started.
// The answer is taken once, by claiming a name in the abstract socket namespace: no file is
// made, and the kernel frees the name when its holder dies, so a crashed instance never
// blocks the next start.
class PreviousInstance
{
public:
    // Call once at process start, after the application object exists.
    static void decide(const QString& name = defaultName());
    static bool wasRunningAtStart();
    // Gives the name up (when the last window goes): a new start is welcome from then on, even
    // while this process still ends.
    static void release();
    static QString defaultName();

    // Claims `name` for as long as `owner` lives; false when a live process holds it.
    static bool tryClaim(const QString& name, QObject* owner);
};
