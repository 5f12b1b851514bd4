#pragma once
// What a TToken object holds: one text token copied out of an input document, so
// that it stays valid whatever the document does next.
#include <cstdint>
#include <string>
#include <vector>

#include "pdf/api/automation/Dispatch.h"

namespace folian::automation {

struct TokenSnapshot {
  std::string text;
  std::string font;
  float x = 0;
  float y = 0;
  int16_t width = 0;   // whole points
  int16_t height = 0;  // whole points
  int32_t page = 0;    // counted from 1
  int32_t orientation = 0;
  std::vector<float> rightEdges;  // one per character, from the token's start
};

// A TToken object holding `token`.
Ref<DispatchObject> NewTToken(TokenSnapshot token);

}  // namespace folian::automation
