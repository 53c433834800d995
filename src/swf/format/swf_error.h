// A movie that cannot be played: the text says why, in words a user reads.
#pragma once

#include "base/user_error.h"

namespace dc::swf {

class SwfError : public UserError {
 public:
  using UserError::UserError;
};

}  // namespace dc::swf
