#include "pdf/base/NumberFormat.h"

#include <cstdio>
#include <cstring>

namespace folian {

ByteString FormatNumber(float value) {
  double x = value;
  // "%f" of the largest float is 39 digits plus sign and decimals.
  char buffer[64];
  if (x > -0.0001 && x < 0.0001)
    std::snprintf(buffer, sizeof buffer, "%8.5f", x);
  else if (x >= -1e20 && x <= 1e20)
    std::snprintf(buffer, sizeof buffer, "%6.2f", x);
  else
    std::snprintf(buffer, sizeof buffer, "%f", x);

  char* text = buffer;
  while (*text == ' ') ++text;
  for (char* p = text; *p; ++p)
    if (*p == ',') *p = '.';
  // Only a fractional part loses its trailing zeros: "%f" of a huge value or of
  // inf/nan has no point, and its digits must stay.
  size_t length = std::strlen(text);
  if (std::strchr(text, '.')) {
    while (length > 0 && text[length - 1] == '0') --length;
    if (length > 0 && (text[length - 1] < '0' || text[length - 1] > '9')) --length;
  }
  return ByteString(text, static_cast<int32_t>(length));
}

}  // namespace folian
