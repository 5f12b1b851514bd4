#include "pdf/base/StringCodec.h"

#include <gtest/gtest.h>

#include "pdf/base/NumberFormat.h"

using namespace folian;

TEST(FormatNumber, choosesPrecisionByMagnitudeAndTrimsZeros) {
  const std::pair<float, const char*> cases[] = {
      {612.0f, "612"},     {0.5f, "0.5"},       {12.345f, "12.35"}, {0.00005f, "0.00005"},
      {0.004f, "0"},       {-0.004f, "-0"},     {-72.25f, "-72.25"}, {0.0f, "0"},
      {100.0f, "100"},     {1e21f, "1000000020040877342720"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(FormatNumber(value).str(), text) << value;
}

TEST(EncodeString, literalModesEscapeAsReadersExpect) {
  const std::tuple<std::string, StringMode, std::string> cases[] = {
      {"a(b)\\c", StringMode::Literal, "(a\\(b\\)\\\\c)"},
      {"\\1", StringMode::PassOctal, "(\\1)"},
      {"\\1", StringMode::Literal, "(\\\\1)"},
      {"\\4", StringMode::PassOctal, "(\\\\4)"},
      {"\\", StringMode::PassOctal, "(\\\\)"},
      {"\r\n\t\b\f", StringMode::Literal, "(\\r\\n\\t\\b\\f)"},
      {"\xE9t\xFF", StringMode::Literal, "(\\351t\\377)"},
      {"((", StringMode::Literal, "(\\(\\()"},
      {"", StringMode::Literal, "()"},
  };
  for (const auto& [input, mode, expected] : cases)
    EXPECT_EQ(EncodeString(input.data(), static_cast<int32_t>(input.size()), mode).str(), expected) << input;
}

TEST(EncodeString, hexModeUsesLowercasePairs) {
  EXPECT_EQ(EncodeString("\x00\xAB\x7f", 3, StringMode::Hex).str(), "<00ab7f>");
  EXPECT_EQ(EncodeString("", 0, StringMode::Hex).str(), "<>");
}

TEST(DecodeString, hexFormsAndOddDigits) {
  EXPECT_EQ(DecodeString("<48656C6C6F>").str(), "Hello");
  EXPECT_EQ(DecodeString("<48 65 6c 6c 6f>").str(), "Hello");
  EXPECT_EQ(DecodeString("<4>").str(), "\x40");
  EXPECT_EQ(DecodeString("<FEFF00410042>").str(), "AB");
}

TEST(DecodeString, literalEscapesAndNesting) {
  const std::pair<std::string, std::string> cases[] = {
      {"(a\\(b\\)\\\\c)", "a(b)\\c"},
      {"(\\n\\r\\t\\b\\f)", "\n\r\t\b\f"},
      {"(\\101\\1012)", "AA2"},
      {"(\\7x)", "\x07x"},
      {"(line\\\r\nnext)", "linenext"},
      {"(line\\\nnext)", "linenext"},
      {"(\\q)", "q"},
      {"(a(b)c)", "a(b)c"},
      {"(a(b)c) trailing", "a(b)c"},
  };
  for (const auto& [token, bytes] : cases) EXPECT_EQ(DecodeString(ByteString(token)).str(), bytes) << token;
}

TEST(DecodeString, doubleByteTextKeepsTheLowBytes) {
  EXPECT_EQ(DecodeString(ByteString(std::string("(\xFE\xFF\0A\0B)", 8))).str(), "AB");
  EXPECT_EQ(DecodeString("(\\376\\377\\000A\\000B)").str(), "AB");
  testing::internal::CaptureStderr();
  EXPECT_EQ(DecodeString("(\\376\\377\\001A)").str(), "A");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "cannot convert double byte character to ASCII");
}

TEST(DecodeString, roundTripsEveryByteThroughBothLiteralModes) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (StringMode mode : {StringMode::Literal, StringMode::Hex}) {
    ByteString token = EncodeString(all.data(), 256, mode);
    EXPECT_EQ(DecodeString(token).str(), all);
  }
}

TEST(DecodeString, tokenOfAnotherKindIsRefused) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(DecodeString("/Name").length(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Encoded PDF string must start with '('\n\"/Name\"\n");
}
