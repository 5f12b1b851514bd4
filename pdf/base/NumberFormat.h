#pragma once
// FormatNumber: the one way a real becomes PDF text. Small magnitudes keep five
// decimals, ordinary ones two (rounded), trailing zeros and a bare point are cut,
// and the separator is always a point whatever the C locale says.
#include "pdf/base/ByteString.h"

namespace folian {

ByteString FormatNumber(float value);

}  // namespace folian
