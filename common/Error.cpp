#include "common/Error.h"

#include "common/I18n.h"

#include <cstring>

namespace telvanta {

std::string CannotOpenFileMessage(const std::string& fileName, int errorNumber) {
  return Substitute(_("Cannot open file \"%1\". %2"), {fileName, std::strerror(errorNumber)});
}

std::string CannotCreateFileMessage(const std::string& fileName, int errorNumber) {
  return "Cannot create file \"" + fileName + "\". " + std::strerror(errorNumber);
}

}  // namespace telvanta
