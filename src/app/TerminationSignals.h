#pragma once

namespace orvane {

// Makes SIGINT and SIGTERM end the event loop like closing the last window, so the program stops its
// workers and removes their temporary files on the way out. Call once, after the application exists.
void QuitOnTerminationSignals();

}  // namespace orvane
