#pragma once
// Opens bytes as an input, swallowing what a damaged file prints on stderr.
#include <gtest/gtest.h>

#include <string>

#include "pdf/reader/PDFInput.h"

namespace folian::test {

inline bool OpenQuietly(PDFInput& input, const std::string& bytes, std::string* messages = nullptr) {
  testing::internal::CaptureStderr();
  bool ok = input.OpenMemory(bytes.data(), bytes.size());
  std::string printed = testing::internal::GetCapturedStderr();
  if (messages) *messages = printed;
  return ok;
}

}  // namespace folian::test
