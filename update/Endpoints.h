#pragma once
// The two update endpoints. The build stores them only as DES hex under
// UpdateKey (from TELVANTA_UPDATE_INFO_URL and TELVANTA_UPDATE_LIST_URL); they
// are deciphered just before each download and never kept in plain form.

#include <string>
#include <string_view>

namespace telvanta {

// Where tvinfo.ini is fetched, enciphered.
std::string_view UpdateInfoEndpointHex();
// Where listv2.zip is fetched, enciphered.
std::string_view CatalogueArchiveEndpointHex();

// The plain address; none-hex text throws Error "Error: not a Hex String".
std::string DecipherEndpoint(std::string_view hex);

}  // namespace telvanta
