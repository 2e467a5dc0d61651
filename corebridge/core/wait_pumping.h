// Waits that keep the UI thread's messages flowing: the controllers wait for
// an engine to settle without freezing the windows or the engine's own
// notices, which arrive as messages on this thread.
#pragma once

// Dispatches this thread's messages until `ms` milliseconds have passed. A
// quit request ends the wait early and is posted again for the outer loop.
// Returns false when the wait ended on a quit request.
bool WaitPumpingMessages(unsigned ms);
