// The error every layer raises for the user to read: its text is the whole
// message, shown as it is in the one central error box.
#pragma once

#include <stdexcept>

namespace dc {

class UserError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace dc
