#pragma once
// Routes for LoopbackHttpServer that behave like radio servers.

#include <filesystem>
#include <string>

#include "tests/support/LoopbackHttpServer.h"

namespace telvanta::test {

// An endless MP3 stream looping a file at about its bit rate. When the
// client asks for metadata (Icy-MetaData: 1) it carries ICY metadata with
// the given title every 8000 bytes, and the station name in icy-name.
LoopbackHttpServer::Route IcyMp3Route(const std::filesystem::path& mp3File, int bytesPerSecond,
                                      std::string stationName, std::string streamTitle);

// Accepts the request and then says nothing until the server stops.
LoopbackHttpServer::Route SilentRoute();

}  // namespace telvanta::test
