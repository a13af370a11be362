#include "platform/MessagePump.h"

#include <atomic>

namespace orvane {
namespace {
std::atomic<MessagePumpHook> g_hook{nullptr};
}

void PumpPendingMessages() {
  if (MessagePumpHook hook = g_hook.load(std::memory_order_acquire)) hook();
}

void InstallMessagePump(MessagePumpHook hook) { g_hook.store(hook, std::memory_order_release); }

}  // namespace orvane
