#include "pdf/syntax/PDParser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "pdf/base/Diagnostics.h"
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

// Everything a parse leaves behind, in one text: the values in full (kinds,
// numbers, bytes, keys in order, stream data), the /Type noted, where the parse
// ended and what it said.
void Dump(const PDValue* value, std::string& out) {
  switch (value->Kind()) {
    case PDKind::Integer: out += "i" + std::to_string(value->Number()) + " "; break;
    case PDKind::Reference: out += "r" + std::to_string(value->Number()) + " "; break;
    case PDKind::Array:
      out += "[ ";
      for (const PDValue* el = value->GetFirstEl(); el; el = el->Next()) Dump(el, out);
      out += "] ";
      break;
    case PDKind::Dictionary: {
      out += "<< ";
      PDValue* entry = nullptr;
      int32_t key = 0;
      for (int32_t i = 0; value->Dict()->EntryAt(i, entry, key); ++i) {
        out += std::string(value->Dict()->KeyViewAt(key)) + " ";
        Dump(entry, out);
      }
      out += ">> ";
      break;
    }
    case PDKind::Text: out += "t" + std::string(value->Text().view()) + " "; break;
    default: out += "none "; break;
  }
  if (value->HasStream()) out += "stream:" + std::string(value->StreamBytes().begin(), value->StreamBytes().end());
}

std::string Outcome(const std::string& text, bool inPlace, bool asObject) {
  MemoryInput source = Source(text);
  DiagnosticSink sink;
  sink.SetEcho(false);
  DiagnosticScope scope(sink);
  std::string out;
  PDParser parser(source, 0, [](int32_t number) { return PDValue::MakeInt(number % 7); });
  parser.SetInPlace(inPlace);
  if (asObject) {
    out += "number " + std::to_string(parser.ReadObject()) + " ";
    if (parser.Root()) Dump(parser.Root(), out);
  } else {
    // Value after value: each leaves the token after it current.
    parser.Lexer().GetToken();
    for (int values = 0; parser.Lexer().Kind() != eError && values < 50; ++values) {
      PDValuePtr value = parser.ParseValue();
      Dump(value.get(), out);
      if (parser.TooDeep()) break;
    }
  }
  out += "| type " + parser.Type() + " | size " + std::to_string(parser.StoredSize()) + " | at " +
         std::to_string(parser.Buffer().Offset()) + " | token " + std::to_string(parser.Lexer().Kind()) + " " +
         std::string(parser.Lexer().Text()) + " | too deep " + std::to_string(parser.TooDeep()) + " |";
  for (const Diagnostic& said : sink.Records()) out += " " + said.text;
  return out;
}

void ExpectSameOutcome(const std::string& text) {
  for (bool asObject : {true, false})
    EXPECT_EQ(Outcome(text, true, asObject), Outcome(text, false, asObject)) << "input: " << text;
}

TEST(PDParser, inPlaceReadingAgreesWithTokenByToken) {
  const std::vector<std::string> cases = {
      "1 0 obj <</Type/Page/MediaBox [0 0 595 842]/Rotate 0/Parent 3 0 R/Resources<</ProcSet[/PDF /Text]/Font 8 0 R>>/Contents 5 0 R>> endobj",
      "5 0 obj <</Length 6 0 R/Filter /FlateDecode>>stream\nabcdef\nendstream endobj",
      "5 0 obj <</Length 3>>stream\r\nabcdef\nendstream endobj",
      "2 0 obj [1 -2 +3 .5 -.5 612.0 1.2.3 - + +x -7x 2147483648 -2147483649 99999999999999999999 +99999999999999999999] endobj",
      "2 0 obj [(a(b)c) (x\\)y) <48 65 6c> <zz> <4> () <>] endobj", "[(a\\)(b)] [(a\\(b)]", "[(a\\\r\nb)]", "2 0 obj <</A true/B null/C false/D/E>> endobj",
      "2 0 obj <</Type 5>> endobj", "2 0 obj <</Type/AVeryLongTypeNameOfManyLetters>> endobj",
      "2 0 obj <</Type/A/Type/B>> endobj", "2 0 obj <</Length/X>> endobj", "2 0 obj <</Length 1/Length 2>> endobj",
      "2 0 obj <</Pages 4>> endobj", "2 0 obj <</Outlines 4 0 R/Pages 5 0 R>> endobj", "2 0 obj <</A<</Length/X>>>> endobj",
      "2 0 obj <</A<</Type 5>>>> endobj", "2 0 obj <</A<</Length 3/Length 4>>>> endobj", "2 0 obj [<</Length 3>>] endobj",
      "2 0 obj <</A 1 (key) 2>> endobj", "2 0 obj <</A 1 % comment\n/B 2>> endobj", "2 0 obj <</A 1 0 obj>> endobj",
      "2 0 obj <</A 1 0 R 2 0 R>> endobj", "2 0 obj <</A]>> endobj", "2 0 obj [1 >> 2] endobj", "2 0 obj [1 } { 2] endobj",
      "2 0 obj <</A 1", "2 0 obj [1 2", "2 0 obj <</A", "2 0 obj <<", "2 0 obj [", std::string("2 0 obj [1\0 2 0\0R]", 18),
      "2 0 obj [12\f0\tR 7\n0\r\nR]", "2 0 obj [12 00000000001 R 12 0000000001 R]", "2 0 obj <</A 1>>> endobj",
      "2 0 obj <</#41 1/A#20B 2/ 3>> endobj", "2 0 obj <</A 1/A 2/B 3/A 4>> endobj", "[1 2] [3 <</Length 4>>] <</Length 5>>",
      "<</Length 1>> <</Length 2>>", "<</Type/X>> <</Type/Y>>", "2 0 obj <</A 1>>stream\nabc\nendstream endobj",
      "2 0 obj <</K [1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20]/L (a)/M <ff>/N 1.0/O -1>> endobj",
      "2 0 obj <<>> endobj", "2 0 obj [] endobj", "2 0 obj [[[[]]]] endobj", "2 0 obj <</A [<</B [<</C 1>>]>>]>> endobj",
  };
  for (const std::string& text : cases) ExpectSameOutcome(text);
  // Nesting at, just below and just past the limit.
  for (int depth : {PDParser::kMaxDepth - 1, PDParser::kMaxDepth, PDParser::kMaxDepth + 1}) {
    ExpectSameOutcome("1 0 obj " + std::string(static_cast<size_t>(depth), '[') +
                      std::string(static_cast<size_t>(depth), ']') + " endobj");
    std::string dictionaries;
    for (int i = 0; i < depth; ++i) dictionaries += "<</A ";
    for (int i = 0; i < depth; ++i) dictionaries += ">>";
    ExpectSameOutcome("1 0 obj " + dictionaries + " endobj");
  }
  // And thousands of objects made of the tokens that matter here, in any order.
  const std::vector<std::string> pieces = {
      "<<", ">>", "[", "]", "/Type", "/Length", "/Pages", "/Outlines", "/Kids", "/A", "/B#20", "/Page", "/", "12 0 R",
      "7", "-3", "+4", ".5", "612.0", "-", "true", "null", "(s)", "(a(b)c)", "(e\\)x)", "<48 6c>", "<zz>", "%c\n",
      "{", "}", "obj", "endobj", "stream", " ", "\n", "\r\n", "\t", std::string(1, '\0'), "99999999999", "-99999999999",
      "1 0 obj", "5 0", "R", ")", "<", ">", "x",
  };
  uint32_t seed = 2024;
  auto next = [&seed]() {
    seed = seed * 1103515245u + 12345u;
    return seed >> 16;
  };
  for (int round = 0; round < 4000; ++round) {
    std::string body = next() % 2 ? "<<" : "[";
    const int length = 1 + static_cast<int>(next() % 24);
    for (int i = 0; i < length; ++i) {
      body += pieces[next() % pieces.size()];
      if (next() % 3) body += ' ';
    }
    // Mostly closed, so that the in-place reader gets to the end of many of them.
    if (next() % 4) body += body[0] == '<' ? ">>" : "]";
    ExpectSameOutcome("3 0 obj " + body + " endobj");
  }
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
