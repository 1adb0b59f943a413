#pragma once

class QObject;

// SIGTERM, SIGINT and SIGHUP end the program through its event loop, exit code 0.
//
// The signals are blocked in every thread and read from a signal descriptor on the GUI thread,
// so no handler is involved: a library that sets handlers of its own for a moment cannot take a
// termination request away from us.
namespace quitsignals {

// Before any thread exists (before the application object): threads inherit the blocked set.
void block();
// After the application object exists: a termination request then quits the event loop.
// Returns false when no descriptor could be made (the signals are unblocked again then).
bool listen(QObject* owner);

} // namespace quitsignals
