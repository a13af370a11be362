#pragma once
#include <string>

namespace orvane {

// "host" or "host:port" of the service's web hosts: ORVANE_MAIN_HOST / ORVANE_MOBILE_HOST when set
// and not empty, else the defaults compiled in.
std::string MainHost();
std::string MobileHost();

}  // namespace orvane
