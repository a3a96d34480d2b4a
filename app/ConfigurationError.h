#pragma once
// A failure of the configuration store that the user must see; the text is shown as it is.
#include <stdexcept>

class ConfigurationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
