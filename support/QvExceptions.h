// Errors of the status bar and validating edit family.
#pragma once

#include <string>

#include "framework/Exception.h"

namespace qv::controls {

class EQVLException : public qv::fw::EQvError {
public:
  explicit EQVLException(const std::string& message) : EQvError(message) {}
};

}  // namespace qv::controls
