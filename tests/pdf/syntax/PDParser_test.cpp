#include "pdf/syntax/PDParser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "pdf/io/InputSource.h"
#include "pdf/object/PDDict.h"
#include "pdf/writer/PDFile.h"

namespace folian {
namespace {

MemoryInput Source(const std::string& text) { return MemoryInput(std::vector<char>(text.begin(), text.end())); }

// The value written back through the writer's serialisation (references are renumbered).
std::string Written(const PDValue* value) {
  PDFile file;
  EXPECT_TRUE(file.OpenMemory());
  EXPECT_TRUE(file.BeginObject(file.NewObjectId()));
  int64_t before = file.Position();
  EXPECT_TRUE(file.WriteValue(value));
  int64_t after = file.Position();
  EXPECT_TRUE(file.Close());
  return std::string(file.Memory()->Data() + before, static_cast<size_t>(after - before));
}

PDValuePtr Parse(const std::string& text) {
  MemoryInput source = Source(text);
  PDParser parser(source, 0);
  parser.Lexer().GetToken();
  return parser.ParseValue();
}

TEST(PDParser, valuesByTokenKind) {
  struct Case {
    const char* input;
    PDKind kind;
    int32_t number;
    const char* text;
  } const cases[] = {
      {"-7", PDKind::Integer, -7, ""},       {"12 0 R", PDKind::Reference, 12, ""},
      {"-.5", PDKind::Text, 0, "-.5"},      {"3.25", PDKind::Text, 0, "3.25"},
      {"/Name", PDKind::Text, 0, "/Name"},  {"(a(b)c)", PDKind::Text, 0, "(a(b)c)"},
      {"true", PDKind::Text, 0, "true"},    {"[1 [2 3] 4 0 R]", PDKind::Array, 3, ""},
  };
  for (const Case& c : cases) {
    PDValuePtr value = Parse(c.input);
    EXPECT_EQ(value->Kind(), c.kind) << c.input;
    if (c.kind == PDKind::Text) {
      EXPECT_STREQ(value->Text().c_str(), c.text) << c.input;
    } else {
      EXPECT_EQ(value->Number(), c.number) << c.input;
    }
  }
}

TEST(PDParser, stringKeepsZeroBytes) {
  PDValuePtr value = Parse(std::string("(a\0b)", 5));
  EXPECT_EQ(value->Text().length(), 5);
}

TEST(PDParser, dictionaryKeepsEntryOrderAndWellKnownSlots) {
  PDValuePtr value = Parse("<</Type/Page/Parent 3 0 R/MediaBox[0 0 612 792]/Custom<</Deep 1>>>>");
  ASSERT_TRUE(value->Is(PDKind::Dictionary));
  PDDict* dict = value->Dict();
  EXPECT_TRUE(dict->Get(kKeyType)->IsText("/Page"));
  EXPECT_EQ(dict->Get(kKeyParent)->Number(), 3);
  EXPECT_EQ(dict->Get(kKeyMediaBox)->Number(), 4);
  EXPECT_EQ(dict->Find("/Custom")->Dict()->Find("/Deep")->Number(), 1);
  EXPECT_EQ(dict->EntryCount(), 4);
}

TEST(PDParser, dictionaryKeyAsStringEndsWithError) {
  MemoryInput source = Source("<</A 1 (key) 2>>");
  PDParser parser(source, 0);
  parser.Lexer().GetToken();
  testing::internal::CaptureStderr();
  PDValuePtr value = parser.ParseValue();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "error parsing dictionary, key expected ((key))\n");
  EXPECT_EQ(parser.Lexer().Kind(), eError);
  EXPECT_EQ(value->Dict()->Find("/A")->Number(), 1);
}

TEST(PDParser, specialKeysReportWrongValues) {
  struct Case {
    const char* input;
    const char* message;
  } const cases[] = {
      {"<</Type 5>>", "/Type not followed by name\n"},
      {"<</Length /X>>", "/Length: number or reference expected\n"},
      {"<</Pages 4>>", "/Pages and /Outlines require reference value\n"},
      {"<</Length 1 /Length 2>>", "OnName: /Length encountered more than once\n"},
      {"<</Type /AVeryLongTypeNameOfManyLetters>>", "/Type value exceeds 24 chars (/AVeryLongTypeNameOfManyLetters)\n"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    Parse(c.input);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message) << c.input;
  }
}

TEST(PDParser, deepNestingFailsWithoutExhaustingTheStack) {
  for (const char* open : {"[", "<</A "}) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += open;
    MemoryInput source = Source("1 0 obj " + text);
    PDParser parser(source, 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(parser.ReadObject(), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("nested deeper"), std::string::npos);
    EXPECT_TRUE(parser.TooDeep());
  }
}

TEST(PDParser, readObjectWithDirectLength) {
  MemoryInput source = Source("7 0 obj\n<</Length 5>>\nstream\r\nhello\nendstream\nendobj\n");
  PDParser parser(source, 0);
  ASSERT_EQ(parser.ReadObject(), 7);
  EXPECT_EQ(std::string(parser.Root()->StreamBytes().begin(), parser.Root()->StreamBytes().end()), "hello");
}

TEST(PDParser, loneCarriageReturnStartsData) {
  MemoryInput source = Source("7 0 obj <</Length 3>> stream\rabc endstream endobj");
  PDParser parser(source, 0);
  ASSERT_EQ(parser.ReadObject(), 7);
  EXPECT_EQ(std::string(parser.Root()->StreamBytes().begin(), parser.Root()->StreamBytes().end()), "abc");
}

TEST(PDParser, indirectLengthIsReadThroughTheReader) {
  std::string data(120, 'q');
  MemoryInput source = Source("9 0 obj <</Length 8 0 R>> stream\n" + data + "\nendstream endobj");
  int asked = 0;
  PDParser parser(source, 0, [&](int32_t number) {
    asked = number;
    return PDValue::MakeInt(120);
  });
  ASSERT_EQ(parser.ReadObject(), 9);
  EXPECT_EQ(asked, 8);
  EXPECT_EQ(parser.Root()->StreamBytes().size(), 120u);
}

TEST(PDParser, unreadableIndirectLengthFallsBackToEndstream) {
  MemoryInput source = Source("9 0 obj <</Length 8 0 R>> stream\nabcdef\nendstream endobj");
  PDParser parser(source, 0, [](int32_t) { return PDValue::MakeText("/NotANumber"); });
  testing::internal::CaptureStderr();
  ASSERT_EQ(parser.ReadObject(), 9);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Length object does not contain number\n");
  // The end of line before "endstream" stays in data of unknown length.
  EXPECT_EQ(parser.Root()->StreamBytes().size(), 7u);
}

TEST(PDParser, unknownLengthStreamLongerThan32000Bytes) {
  std::string data(100000, 'z');
  MemoryInput source = Source("3 0 obj <<>> stream\n" + data + "\nendstream\nendobj");
  PDParser parser(source, 0);
  testing::internal::CaptureStderr();
  ASSERT_EQ(parser.ReadObject(), 3);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(parser.Root()->StreamBytes().size(), data.size() + 1);
}

TEST(PDParser, wrongLengthIsRecoveredByScanning) {
  for (const char* length : {"2", "500", "-4"}) {
    MemoryInput source = Source(std::string("3 0 obj <</Length ") + length + ">> stream\nabcdef\nendstream\nendobj");
    PDParser parser(source, 0);
    ASSERT_EQ(parser.ReadObject(), 3) << length;
    EXPECT_EQ(parser.Root()->StreamBytes().size(), 7u) << length;
  }
}

TEST(PDParser, headerOnlySkipsData) {
  MemoryInput source = Source("4 0 obj <</Length 3>> stream\nabc\nendstream endobj");
  PDParser parser(source, 0);
  ASSERT_EQ(parser.ReadObject(true), 4);
  EXPECT_FALSE(parser.Root()->HasStream());
}

TEST(PDParser, failures) {
  const char* inputs[] = {
      "4 0 R",                                  // no object header
      "4 0 obj <</Length 3>> stream\nabc",      // no endstream
      "4 0 obj",                                // nothing after the header
  };
  for (const char* input : inputs) {
    MemoryInput source = Source(input);
    PDParser parser(source, 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(parser.ReadObject(), 0) << input;
    testing::internal::GetCapturedStderr();
  }
}

TEST(PDParser, traceListsEveryToken) {
  MemoryInput source = Source("[1 /A]");
  PDParser parser(source, 0);
  parser.Lexer().SetTrace(true);
  testing::internal::CaptureStderr();
  parser.Lexer().GetToken();
  parser.ParseValue();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "GetToken: 5 [\nGetToken: 0 1\nGetToken: 4 /A\nGetToken: 6 ]\nGetToken: 12 \n");
}

TEST(PDParser, parsedValueWritesBackUnchanged) {
  PDValuePtr value = Parse("<</Type /Page /Kids [ 1 0 R 2 0 R ] /Rotate 90 /S (x\\)y) /R 1.5 >>");
  std::string text = Written(value.get());
  EXPECT_NE(text.find("/Rotate 90"), std::string::npos) << text;
  EXPECT_NE(text.find("/S (x\\)y)"), std::string::npos) << text;
  EXPECT_NE(text.find("/R 1.5"), std::string::npos) << text;
}

}  // namespace
}  // namespace folian
