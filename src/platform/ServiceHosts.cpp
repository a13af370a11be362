#include "platform/ServiceHosts.h"

#include <cstdlib>

namespace orvane {
namespace {

std::string HostFromEnvironment(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0' ? std::string(value) : std::string(fallback);
}

}  // namespace

std::string MainHost() { return HostFromEnvironment("ORVANE_MAIN_HOST", ORVANE_DEFAULT_MAIN_HOST); }
std::string MobileHost() { return HostFromEnvironment("ORVANE_MOBILE_HOST", ORVANE_DEFAULT_MOBILE_HOST); }

}  // namespace orvane
