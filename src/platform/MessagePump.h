#pragma once

namespace orvane {

// Dispatches the calling thread's pending window messages. The GUI installs a pump for its own
// thread; on every other thread, and before one is installed, this does nothing.
void PumpPendingMessages();

using MessagePumpHook = void (*)();
void InstallMessagePump(MessagePumpHook hook);

}  // namespace orvane
