#include "common/Error.h"

#include <cstring>

namespace telvanta {

std::string CannotOpenFileMessage(const std::string& fileName, int errorNumber) {
  return "Cannot open file \"" + fileName + "\". " + std::strerror(errorNumber);
}

std::string CannotCreateFileMessage(const std::string& fileName, int errorNumber) {
  return "Cannot create file \"" + fileName + "\". " + std::strerror(errorNumber);
}

}  // namespace telvanta
