#pragma once
// How an address is played: the stream class, from the text's scheme and
// ending alone.

#include <string>
#include <string_view>

namespace telvanta {

enum class StreamClass { None, Mms, Rtsp, Webcam };

// The class as it is shown and stored: "MMS", "RTSP", "WEBCAM" or "".
std::string_view StreamClassText(StreamClass streamClass);

StreamClass ClassifyStream(std::string_view url);
// ClassifyStream as text.
std::string ClassifyUrl(std::string_view url);

}  // namespace telvanta
