#pragma once
// The pictures of packed skins, served from memory to whatever opens them as
// a GIO file: a style sheet names them url("telvanta-skin:///3/tab.svg") and
// the toolkit reads the bytes that came out of the archive; nothing is
// unpacked to disk. Callable from any thread.

#include <map>
#include <string>
#include <string_view>

namespace telvanta::skins {

inline constexpr std::string_view PictureScheme = "telvanta-skin";

// Picture bytes by the URL a style sheet names them with.
using PictureSet = std::map<std::string, std::string, std::less<>>;

// Makes the pictures readable under their URLs (the scheme is registered
// with GIO on first use); an URL served already keeps its first bytes.
void ServePictures(const PictureSet& pictures);
// Stops serving these URLs.
void WithdrawPictures(const PictureSet& pictures);

}  // namespace telvanta::skins
