#pragma once
// Addresses as the network layer reads them.

#include <string>

namespace telvanta::platform {

// `reference` resolved against `base`, as a browser would (an absolute
// reference comes back as it is, and so does anything either side that is
// no address).
std::string ResolveUrl(const std::string& base, const std::string& reference);

}  // namespace telvanta::platform
