#pragma once
// PDInPlaceParser: reads a dictionary or an array straight from the bytes of a
// source held in memory, with pointers and without a token object in between.
//
// It reads what objects are nearly always made of: names, integers, references,
// reals and other words, strings without escapes, nested dictionaries and
// arrays. The values it makes, and the /Type and /Length it notes, are those the
// token-by-token parser makes of the same bytes. Anything else (a comment, an
// escape, a token out of place, a dictionary key that is not a name, a /Length
// or /Type or /Pages value of the wrong kind, nesting past the limit, the end
// of the data) makes it give up with nothing consumed, so that the token-by-token
// parser reads the value again and says what it finds.
#include <cstdint>
#include <string_view>

#include "pdf/object/PDValue.h"

namespace folian {

class PDInPlaceParser {
public:
  // Reads from `at` up to `end`; `maxDepth` and `maxTypeLength` are the parser's limits.
  PDInPlaceParser(const char* at, const char* end, int maxDepth, size_t maxTypeLength)
      : m_at(at), m_end(end), m_maxDepth(maxDepth), m_maxTypeLength(maxTypeLength) {}

  // The rest of a dictionary (or array) whose opening token was just read, as
  // the outermost value of an object; none when it gives up.
  PDValuePtr ReadContainer(bool dictionary);
  // A /Length was read before, in an earlier value: a second one is left to the
  // token-by-token parser, which reports it.
  void NoteLengthKnown() { m_lengthKnown = true; }

  // Just past the closing token, after a container was read.
  const char* Position() const { return m_at; }
  // The /Type and /Length entries of the outermost dictionary, when it had them.
  [[nodiscard]] bool TypeSeen() const { return m_typeSeen; }
  std::string_view Type() const { return m_type; }
  PDValuePtr TakeLength() { return std::move(m_length); }

private:
  enum class Token { kFail, kDictBegin, kDictEnd, kArrayBegin, kArrayEnd, kName, kText, kInteger, kReference };
  Token Next();
  Token ReadNumberOrReference(const char* start);
  Token ReadSignedOrWord(const char* start);
  Token ReadLiteralString(const char* start);
  Token ReadHexString(const char* start);
  PDValuePtr Value(Token token, int depth);
  PDValuePtr ReadDictionary(int depth);
  PDValuePtr ReadArray(int depth);

  const char* m_at;
  const char* m_end;
  const int m_maxDepth;
  const size_t m_maxTypeLength;
  // The last token read.
  std::string_view m_text;
  int32_t m_number = 0;
  bool m_lengthKnown = false;
  bool m_typeSeen = false;
  std::string_view m_type;
  PDValuePtr m_length;
};

}  // namespace folian
