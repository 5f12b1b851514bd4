#include <gtest/gtest.h>

#include "pdf/SampleContent.h"
#include <zlib.h>

#include <cstdlib>
#include <string>

#include "pdf/LzwEncoder.h"
#include "pdf/filter/ContentCompression.h"
#include "pdf/object/PDDict.h"
#include "pdf/filter/StreamDecoder.h"

namespace folian {
namespace {

using test::SampleText;

std::string Deflate(const std::string& in, int level = Z_DEFAULT_COMPRESSION) {
  uLongf size = compressBound(static_cast<uLong>(in.size()));
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(in.data()),
            static_cast<uLong>(in.size()), level);
  out.resize(size);
  return out;
}

// Text that repeats enough to fill the LZW table several times over.
TEST(ASCII85, decodesGroupsZerosAndFinalPartialGroup) {
  struct Case {
    const char* in;
    std::string out;
  } const cases[] = {
      {"87cURD]i,\"Ebo80~>", "Hello World!"},
      {"87cURD]i,\"Ebo80+T~>", "Hello World!!"},
      {"z", std::string(4, '\0')},
      {"<~ 87cUR\nD]i,\"\tEbo80 ~>", "Hello World!"},
      {"zz!!*-'~>", std::string(8, '\0') + std::string("\0\1\2\3", 4)},
  };
  for (const Case& c : cases) {
    std::string out;
    ASSERT_TRUE(DecodeASCII85(c.in, out)) << c.in;
    EXPECT_EQ(out, c.out) << c.in;
  }
  std::string out = "stale";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(DecodeASCII85("87c{URD", out));
  EXPECT_FALSE(DecodeASCII85("uuuuu", out));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(out.empty());
}

TEST(ASCIIHex, decodesPairsAndAFinalHalf) {
  std::string out;
  ASSERT_TRUE(DecodeASCIIHex("48 65 6c\n6C 6f 4>", out));
  EXPECT_EQ(out, "Hello@");
}

TEST(LZW, decodesTheReferenceExample) {
  // The example of the PDF reference: "-----A---B".
  std::string out;
  ASSERT_TRUE(DecodeLZW(std::string("\x80\x0B\x60\x50\x22\x0C\x0C\x85\x01", 9), out));
  EXPECT_EQ(out, "-----A---B");
}

TEST(LZW, widensCodesOneCodeEarlyThroughEveryWidth) {
  for (size_t length : {600u, 3000u, 20000u, 200000u}) {
    std::string text = SampleText(length);
    std::string out;
    ASSERT_TRUE(DecodeLZW(test::LzwEncode(text), out)) << length;
    EXPECT_EQ(out, text) << length;
  }
}

TEST(LZW, badCodesAndBombsFailCleanly) {
  std::string out;
  testing::internal::CaptureStderr();
  // Codes 256, 65, 300: there is no entry 300 yet.
  EXPECT_FALSE(DecodeLZW(std::string("\x80\x10\x65\x80", 4), out));
  std::string zeros(1 << 20, '\0');
  EXPECT_FALSE(DecodeLZW(test::LzwEncode(zeros), out, 100000));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(out.empty());
}

TEST(Flate, decodesAndStopsAtTheCeiling) {
  std::string text = SampleText(300000);
  std::string out;
  ASSERT_TRUE(DecodeFlate(Deflate(text), out));
  EXPECT_EQ(out, text);

  std::string bomb = Deflate(std::string(20 << 20, '\0'), 9);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(DecodeFlate(bomb, out, 1 << 20));
  EXPECT_FALSE(DecodeFlate("not deflate data", out));
  EXPECT_FALSE(DecodeFlate(Deflate(text).substr(0, 1000), out));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(out.empty());
}

PDValuePtr Stream(const std::string& data, PDValuePtr filter, PDValuePtr parms = nullptr) {
  PDValuePtr value = PDValue::MakeDict();
  EXPECT_TRUE(value->AssignStream(data.data(), static_cast<int32_t>(data.size()), nullptr));
  if (filter) value->Dict()->SaveAttrVal(kKeyFilter, std::move(filter));
  if (parms) value->Dict()->SaveAttrVal("/DecodeParms", std::move(parms));
  return value;
}

PDValuePtr Names(std::initializer_list<const char*> names) {
  PDValuePtr array = PDValue::MakeArray();
  for (const char* name : names) array->AppendEl(PDValue::MakeText(name));
  return array;
}

std::string A85Encode(const std::string& in) {
  std::string out;
  for (size_t i = 0; i < in.size(); i += 4) {
    uint32_t value = 0;
    size_t n = std::min<size_t>(4, in.size() - i);
    for (size_t k = 0; k < 4; ++k) value = value << 8 | (k < n ? static_cast<unsigned char>(in[i + k]) : 0);
    if (n == 4 && value == 0) {
      out += 'z';
      continue;
    }
    char digits[5];
    for (int k = 4; k >= 0; --k) {
      digits[k] = static_cast<char>('!' + value % 85);
      value /= 85;
    }
    out.append(digits, n + 1);
  }
  return out + "~>";
}

TEST(DecodeStream, filterChainsInArrayOrder) {
  std::string text = SampleText(5000) + std::string(64, '\0');
  ByteString out;
  ASSERT_TRUE(DecodeStream(*Stream(A85Encode(Deflate(text)), Names({"/ASCII85Decode", "/FlateDecode"})), out));
  EXPECT_EQ(out.str(), text);
  ASSERT_TRUE(DecodeStream(*Stream(A85Encode(test::LzwEncode(text)), Names({"/A85", "/LZW"})), out));
  EXPECT_EQ(out.str(), text);
  ASSERT_TRUE(DecodeStream(*Stream(Deflate(text), PDValue::MakeText("/FlateDecode")), out));
  EXPECT_EQ(out.str(), text);
  ASSERT_TRUE(DecodeStream(*Stream("raw bytes", nullptr), out));
  EXPECT_EQ(out.str(), "raw bytes");
}

TEST(DecodeStream, lzwHonoursEarlyChangeZero) {
  std::string text = SampleText(20000);
  PDValuePtr parms = PDValue::MakeDict();
  parms->Dict()->SaveAttrVal("/EarlyChange", PDValue::MakeInt(0));
  ByteString out;
  ASSERT_TRUE(DecodeStream(*Stream(test::LzwEncode(text, 0), Names({"/LZWDecode"}), std::move(parms)), out));
  EXPECT_EQ(out.str(), text);
  std::string early;
  testing::internal::CaptureStderr();
  bool same = DecodeLZW(test::LzwEncode(text, 0), early) && early == text;
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(same) << "the two code layouts must differ for this test to mean anything";
}

TEST(DecodeStream, unsupportedFiltersGiveNoContent) {
  ByteString out;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(DecodeStream(*Stream("\xFF\xD8", PDValue::MakeText("/DCTDecode")), out));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "cannot decode /DCTDecode\n");
  EXPECT_TRUE(out.empty());
}

int PaethOf(int a, int b, int c) {
  int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Encodes rows with the PNG predictor `tag` (0-4) the way a writer would.
std::string PngEncode(const std::string& data, size_t rowBytes, size_t pixel, int tag) {
  std::string out, previous(rowBytes, '\0');
  for (size_t at = 0; at < data.size(); at += rowBytes) {
    std::string row = data.substr(at, rowBytes);
    out += static_cast<char>(tag);
    for (size_t i = 0; i < row.size(); ++i) {
      int x = static_cast<unsigned char>(row[i]);
      int a = i >= pixel ? static_cast<unsigned char>(row[i - pixel]) : 0;
      int b = static_cast<unsigned char>(previous[i]);
      int c = i >= pixel ? static_cast<unsigned char>(previous[i - pixel]) : 0;
      int predicted[] = {0, a, b, (a + b) / 2, PaethOf(a, b, c)};
      out += static_cast<char>(x - predicted[tag]);
    }
    previous = row;
    previous.resize(rowBytes, '\0');
  }
  return out;
}

PDValuePtr PredictorParms(int predictor, int colors, int bits, int columns) {
  PDValuePtr parms = PDValue::MakeDict();
  parms->Dict()->SaveAttrVal("/Predictor", PDValue::MakeInt(predictor));
  parms->Dict()->SaveAttrVal("/Colors", PDValue::MakeInt(colors));
  parms->Dict()->SaveAttrVal("/BitsPerComponent", PDValue::MakeInt(bits));
  parms->Dict()->SaveAttrVal("/Columns", PDValue::MakeInt(columns));
  return parms;
}

TEST(Predictor, pngRowsOfEveryTagAndAShortLastRow) {
  // Three colours of eight bits, five columns: rows of 15 bytes; the last row is cut short.
  std::string image = SampleText(15 * 40 + 7);
  for (int tag = 0; tag <= 4; ++tag) {
    for (bool lzw : {false, true}) {
      std::string rows = PngEncode(image, 15, 3, tag);
      std::string packed = lzw ? test::LzwEncode(rows) : Deflate(rows);
      ByteString out;
      ASSERT_TRUE(DecodeStream(*Stream(packed, PDValue::MakeText(lzw ? "/LZWDecode" : "/FlateDecode"),
                                       PredictorParms(10 + tag, 3, 8, 5)),
                               out))
          << "tag " << tag;
      EXPECT_EQ(out.str(), image) << "tag " << tag << (lzw ? " lzw" : " flate");
    }
  }
  // Sixteen-bit samples: the pixel is two bytes per colour.
  std::string wide = SampleText(4 * 2 * 10);
  ByteString out;
  ASSERT_TRUE(DecodeStream(*Stream(Deflate(PngEncode(wide, 8, 2, 4)), PDValue::MakeText("/FlateDecode"),
                                   PredictorParms(15, 1, 16, 4)),
                           out));
  EXPECT_EQ(out.str(), wide);
}

TEST(Predictor, tiffPredictorForBytesAndBits) {
  std::string image = SampleText(6 * 9);  // two colours, three columns of 8 bits: rows of 6 bytes
  std::string encoded = image;
  for (size_t row = 0; row < encoded.size(); row += 6)
    for (size_t i = 5; i >= 2; --i) encoded[row + i] = static_cast<char>(image[row + i] - image[row + i - 2]);
  ByteString out;
  ASSERT_TRUE(DecodeStream(*Stream(Deflate(encoded), PDValue::MakeText("/FlateDecode"), PredictorParms(2, 2, 8, 3)), out));
  EXPECT_EQ(out.str(), image);
  // One-bit samples, eight columns: each bit is the sum (mod 2) of itself and the one before.
  std::string bits(1, '\xFF');  // samples 1 0 0 0 0 0 0 0 after decoding give 1 1 1 1 1 1 1 1
  std::string delta(1, '\x80');
  ASSERT_TRUE(DecodeStream(*Stream(Deflate(delta), PDValue::MakeText("/FlateDecode"), PredictorParms(2, 1, 1, 8)), out));
  EXPECT_EQ(out.str(), bits);
}

TEST(Predictor, hostileParametersFailCleanly) {
  struct Case {
    const char* name;
    int predictor, colors, bits, columns;
    std::string rows;
  } const cases[] = {
      {"bad row tag", 12, 1, 8, 4, std::string("\x07" "abcd")},
      {"bits per component 3", 12, 1, 3, 4, std::string("\x00" "abcd", 5)},
      {"columns beyond reason", 12, 1, 8, 1 << 30, std::string("\x00" "abcd", 5)},
      {"no colours", 2, 0, 8, 4, std::string("abcd")},
      {"unknown predictor", 7, 1, 8, 4, std::string("abcd")},
  };
  for (const Case& c : cases) {
    ByteString out;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(DecodeStream(*Stream(Deflate(c.rows), PDValue::MakeText("/FlateDecode"),
                                      PredictorParms(c.predictor, c.colors, c.bits, c.columns)),
                              out))
        << c.name;
    EXPECT_FALSE(testing::internal::GetCapturedStderr().empty()) << c.name;
    EXPECT_TRUE(out.empty()) << c.name;
  }
  // Rows longer than the data: what there is is decoded.
  ByteString out;
  ASSERT_TRUE(DecodeStream(*Stream(Deflate(std::string("\x02\x01\x02", 3)), PDValue::MakeText("/FlateDecode"),
                                   PredictorParms(12, 1, 8, 1000)),
                           out));
  EXPECT_EQ(out.str(), std::string("\x01\x02", 2));
}

TEST(RunLength, literalRunsRepeatsAndEndOfData) {
  struct Case {
    std::string in, out;
  } const cases[] = {
      {std::string("\x02" "abc" "\xFE" "z" "\x80" "ignored", 14), "abczzz"},
      {std::string("\x00" "q" "\x81" "-", 4), "q" + std::string(128, '-')},
      {std::string("\x05" "ab", 3), "ab"},  // a literal run cut short
      {std::string("\xFF", 1), ""},       // a repeat without its byte
  };
  for (const Case& c : cases) {
    ByteString out;
    ASSERT_TRUE(DecodeStream(*Stream(c.in, PDValue::MakeText("/RunLengthDecode")), out));
    EXPECT_EQ(out.str(), c.out);
  }
  std::string bomb;
  for (int i = 0; i < 1000; ++i) bomb += "\x81" "x";
  std::string out;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(DecodeRunLength(bomb, out, 1000));
  testing::internal::GetCapturedStderr();
}

TEST(ContentCompression, compressesWhenItPays) {
  ByteString tiny = CompressContent("q Q", 3);
  EXPECT_TRUE(tiny.empty());
  std::string text = SampleText(4000);
  ByteString packed = CompressContent(text.data(), static_cast<int32_t>(text.size()));
  ASSERT_FALSE(packed.empty());
  EXPECT_EQ(packed[packed.length() - 1], '\n');
  std::string out;
  ASSERT_TRUE(DecodeFlate(std::string(packed.data(), static_cast<size_t>(packed.length() - 1)), out));
  EXPECT_EQ(out, text);
}

}  // namespace
}  // namespace folian
