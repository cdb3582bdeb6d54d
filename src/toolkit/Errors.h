// The toolkit's exception kinds.
#pragma once

#include <stdexcept>

namespace norva::tk {

// An index or a count beyond what a container holds.
class ERangeError : public std::out_of_range {
 public:
  ERangeError() : std::out_of_range("") {}
};

}  // namespace norva::tk
