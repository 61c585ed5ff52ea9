#include "update/Endpoints.h"

#include "common/DesCipher.h"
#include "update/EncipheredEndpoints.h"

namespace telvanta {

std::string_view UpdateInfoEndpointHex() { return EncipheredUpdateInfoEndpoint; }

std::string_view CatalogueArchiveEndpointHex() { return EncipheredCatalogueArchiveEndpoint; }

std::string DecipherEndpoint(std::string_view hex) { return DesDecryptHex(hex, UpdateKey); }

}  // namespace telvanta
