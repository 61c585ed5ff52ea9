#pragma once
// The general error class: every error that reaches the user carries its text.

#include <stdexcept>
#include <string>

namespace telvanta {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Cannot open file "<name>". <system text>"
std::string CannotOpenFileMessage(const std::string& fileName, int errorNumber);
// "Cannot create file "<name>". <system text>"
std::string CannotCreateFileMessage(const std::string& fileName, int errorNumber);

}  // namespace telvanta
