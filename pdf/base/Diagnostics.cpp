#include "pdf/base/Diagnostics.h"

#include <cstdarg>
#include <cstdio>

namespace folian {

void Diag(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
}

}  // namespace folian
