#include "pdf/content/GlyphNames.h"

#include <cstdlib>
#include <cstring>

#include "pdf/base/Diagnostics.h"

namespace folian {
namespace {

struct GlyphEntry {
  const char* name;
  int32_t code;
};

// Sorted in byte order of the names: searched by bisection.
const GlyphEntry kGlyphs[] = {
    {"AE", 198}, {"Aacute", 193}, {"Acircumflex", 194}, {"Adieresis", 196}, {"Agrave", 192}, {"Alpha", 65},
    {"Aring", 197}, {"Atilde", 195}, {"Beta", 66}, {"Ccedilla", 199}, {"Chi", 67}, {"Delta", 68},
    {"Eacute", 201}, {"Ecircumflex", 202}, {"Edieresis", 203}, {"Egrave", 200}, {"Epsilon", 69}, {"Eta", 72},
    {"Eth", 208}, {"Euro", 128}, {"Gamma", 71}, {"Iacute", 205}, {"Icircumflex", 206}, {"Idieresis", 207},
    {"Igrave", 204}, {"Iota", 73}, {"Kappa", 75}, {"Lambda", 76}, {"Lslash", 149}, {"Mu", 77},
    {"Ntilde", 209}, {"Nu", 78}, {"OE", 140}, {"Oacute", 211}, {"Ocircumflex", 212}, {"Odieresis", 214},
    {"Ograve", 210}, {"Omicron", 79}, {"Oslash", 216}, {"Otilde", 213}, {"Phi", 70}, {"Psi", 89}, {"Rho", 82},
    {"Scaron", 138}, {"Sigma", 83}, {"Tau", 84}, {"Theta", 81}, {"Thorn", 222}, {"Uacute", 218},
    {"Ucircumflex", 219}, {"Udieresis", 220}, {"Ugrave", 217}, {"Upsilon", 85}, {"Xi", 88}, {"Yacute", 221},
    {"Ydieresis", 159}, {"Zcaron", 142}, {"Zeta", 90}, {"aacute", 225}, {"acircumflex", 226}, {"acute", 180},
    {"adieresis", 228}, {"ae", 230}, {"agrave", 224}, {"alpha", 97}, {"ampersand", 38}, {"aring", 229},
    {"asciicircum", 94}, {"asciitilde", 126}, {"asterisk", 42}, {"at", 64}, {"atilde", 227},
    {"backslash", 92}, {"bar", 124}, {"beta", 98}, {"braceleft", 123}, {"braceright", 125},
    {"bracketleft", 91}, {"bracketright", 93}, {"breve", 24}, {"brokenbar", 166}, {"bullet", 149},
    {"caron", 25}, {"ccedilla", 231}, {"cedilla", 184}, {"cent", 162}, {"chi", 99}, {"circumflex", 136},
    {"colon", 58}, {"comma", 44}, {"copyright", 169}, {"currency", 164}, {"dagger", 134}, {"daggerdbl", 135},
    {"degree", 176}, {"delta", 100}, {"dieresis", 168}, {"divide", 247}, {"dollar", 36}, {"dotaccent", 27},
    {"dotlessi", 154}, {"eacute", 233}, {"ecircumflex", 234}, {"edieresis", 235}, {"egrave", 232},
    {"eight", 56}, {"ellipsis", 133}, {"emdash", 151}, {"endash", 150}, {"epsilon", 101}, {"equal", 61},
    {"eth", 240}, {"exclam", 33}, {"exclamdown", 161}, {"fi", 147}, {"five", 53}, {"fl", 175},
    {"florin", 131}, {"four", 52}, {"fraction", 135}, {"gamma", 103}, {"germandbls", 223}, {"grave", 96},
    {"greater", 62}, {"guillemotleft", 171}, {"guillemotright", 187}, {"guilsinglleft", 139},
    {"guilsinglright", 155}, {"hungarumlaut", 28}, {"hyphen", 45}, {"iacute", 237}, {"icircumflex", 238},
    {"idieresis", 239}, {"igrave", 236}, {"less", 60}, {"logicalnot", 172}, {"lslash", 248}, {"macron", 175},
    {"minus", 0}, {"mu", 181}, {"multiply", 215}, {"nine", 57}, {"ntilde", 241}, {"numbersign", 35},
    {"oacute", 243}, {"ocircumflex", 244}, {"odieresis", 246}, {"oe", 156}, {"ogonek", 206}, {"ograve", 242},
    {"one", 49}, {"onehalf", 189}, {"onequarter", 188}, {"onesuperior", 185}, {"ordfeminine", 170},
    {"ordmasculine", 186}, {"oslash", 248}, {"otilde", 245}, {"paragraph", 182}, {"parenleft", 40},
    {"parenright", 41}, {"percent", 37}, {"period", 46}, {"periodcentered", 183}, {"perthousand", 137},
    {"phi", 102}, {"plus", 43}, {"plusminus", 177}, {"question", 63}, {"questiondown", 191}, {"quotedbl", 34},
    {"quotedblbase", 132}, {"quotedblleft", 147}, {"quotedblright", 148}, {"quoteleft", 145},
    {"quoteright", 146}, {"quotesinglbase", 130}, {"quotesingle", 39}, {"registered", 174}, {"ring", 176},
    {"scaron", 154}, {"section", 167}, {"semicolon", 59}, {"seven", 55}, {"six", 54}, {"slash", 47},
    {"space", 32}, {"sterling", 163}, {"summation", 229}, {"theta", 113}, {"thorn", 254}, {"three", 51},
    {"threequarters", 190}, {"threesuperior", 179}, {"tilde", 152}, {"trademark", 153}, {"two", 50},
    {"twosuperior", 178}, {"uacute", 250}, {"ucircumflex", 251}, {"udieresis", 252}, {"ugrave", 249},
    {"yacute", 253}, {"ydieresis", 255}, {"yen", 165}, {"zcaron", 158}, {"zero", 48},
};

bool DebugEncodings() {
  static const bool on = std::getenv("PD_DEBUG") != nullptr;
  return on;
}

int32_t HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

int32_t GlyphCode(const char* name) {
  if (!name || name[0] != '/' || name[1] == 0) return 0;
  const char* glyph = name + 1;
  if (glyph[1] == 0) return static_cast<unsigned char>(glyph[0]);
  if ((glyph[0] == 'a' || glyph[0] == 'G') && glyph[1] >= '0' && glyph[1] <= '9') {
    // Bounded so that a long run of digits cannot overflow.
    int32_t value = 0;
    for (const char* p = glyph + 1; *p >= '0' && *p <= '9' && value < 100000; ++p) value = value * 10 + (*p - '0');
    return value;
  }
  if (glyph[2] >= 'A' && glyph[2] <= 'F') {
    int32_t value = 0;
    for (const char* p = glyph + 2; HexValue(*p) >= 0 && value < 0x100000; ++p) value = value * 16 + HexValue(*p);
    return value;
  }
  size_t low = 0, high = sizeof kGlyphs / sizeof kGlyphs[0];
  while (low < high) {
    size_t mid = (low + high) / 2;
    int order = std::strcmp(glyph, kGlyphs[mid].name);
    if (order == 0) return kGlyphs[mid].code;
    if (order < 0)
      high = mid;
    else
      low = mid + 1;
  }
  if (DebugEncodings()) Diag("Encoding for \"%s\" unknown\n", glyph);
  return 0;
}

const unsigned char kMacRomanToWinAnsi[256] = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,
    16,  17,  18,  19,  20,  21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,
    32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,
    48,  49,  50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  60,  61,  62,  63,
    64,  65,  66,  67,  68,  69,  70,  71,  72,  73,  74,  75,  76,  77,  78,  79,
    80,  81,  82,  83,  84,  85,  86,  87,  88,  89,  90,  91,  92,  93,  94,  95,
    96,  97,  98,  99,  100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111,
    112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127,
    196, 197, 199, 201, 209, 214, 220, 193, 224, 226, 228, 227, 229, 231, 233, 232,  // 128
    234, 235, 237, 236, 238, 239, 241, 243, 242, 244, 246, 245, 250, 249, 251, 252,  // 144
    0, 176, 162, 163, 167, 149, 182, 223, 174, 169, 153, 180, 168, 0, 198, 216,  // 160
    0, 177, 0, 0, 165, 181, 0, 0, 0, 0, 0, 170, 186, 0, 230, 248,  // 176
    191, 161, 172, 0, 131, 0, 0, 171, 150, 151, 147, 148, 145, 146, 247, 0,  // 192
    255, 159, 47, 164, 139, 155, 0, 0, 135, 183, 226, 130, 137, 194, 202, 193,  // 208
    203, 200, 205, 206, 207, 204, 211, 212, 0, 210, 218, 219, 217, 0, 136, 152,  // 224
    175, 0, 0, 176, 184, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 240
};

}  // namespace folian
