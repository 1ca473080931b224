#pragma once

#include <stdexcept>

namespace zak {

// Raised by TComm32::StartComm when the port cannot be started. The message is one of
// "Already have a comm file open", "Error opening com port",
// "File handle is not a comm handle. ", "Unable to create Read thread",
// "Unable to create Write thread".
class ECommsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace zak
