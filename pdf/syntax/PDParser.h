#pragma once
// PDParser: builds PDValue trees from the tokens of a PDLexer and reads one
// indirect object ("12 0 obj ... endobj") with its stream data.
//
// One parser reads one object. It owns the root value until the caller takes it.
// An indirect /Length is resolved through a caller-supplied function that reads the
// referenced object; a nested read (the resolver itself) gets no resolver, so a
// /Length that points at its own object cannot recurse.
// Failure: ReadObject yields 0 and prints a diagnostic; values nested deeper than
// kMaxDepth end the parse with eError instead of exhausting the stack.
#include <cstdint>
#include <functional>
#include <string>

#include "pdf/io/InputSource.h"
#include "pdf/syntax/PDLexer.h"
#include "pdf/io/PDReadBuffer.h"
#include "pdf/object/PDValue.h"

namespace folian {

class PDParser {
public:
  // Reads object `number` for an indirect /Length; none when it cannot be read.
  using ObjectReader = std::function<PDValuePtr(int32_t number)>;

  static constexpr int kMaxDepth = 500;
  static constexpr int kMaxTypeLength = 24;

  PDParser(InputSource& source, int64_t offset, ObjectReader lengthReader = {});
  virtual ~PDParser();
  PDParser(const PDParser&) = delete;
  PDParser& operator=(const PDParser&) = delete;

  // Reads the indirect object at the current position; yields its number, or 0 on
  // failure. With headerOnly the stream data is not read.
  [[nodiscard]] int32_t ReadObject(bool headerOnly = false);

  // A value made from the current token and those that follow; the token after
  // the value is left current. A parse that hit eError yields a None node.
  virtual PDValuePtr ParseValue();

  PDValuePtr TakeRoot() { return std::move(m_root); }
  PDValue* Root() const { return m_root.get(); }
  // The /Type of the object's dictionary, cut to 23 characters.
  const std::string& Type() const { return m_type; }
  // Bytes from the start of the object to the end of its last token.
  [[nodiscard]] int32_t StoredSize() const { return m_storedSize; }
  [[nodiscard]] bool TooDeep() const { return m_tooDeep; }

  // The outermost dictionary or array of a value from a source held in memory is
  // read in place first (PDInPlaceParser), without OnName; a subclass that needs
  // OnName for every entry turns that off. On by default.
  void SetInPlace(bool on) { m_inPlace = on; }

  PDLexer& Lexer() { return m_lexer; }
  PDReadBuffer& Buffer() { return m_buffer; }

protected:
  virtual PDValuePtr OnName(int32_t keyIndex);

private:
  // The container whose opening token is current, read in place; none when the
  // in-place reader gives up, with nothing consumed.
  PDValuePtr ReadInPlace(bool dictionary);
  PDValuePtr ParseArray();
  PDValuePtr ParseDictionary();
  [[nodiscard]] bool ReadStreamData(PDValue& root, int32_t length);
  [[nodiscard]] int32_t ResolveLength();
  [[nodiscard]] bool FindEndstream(int64_t from, int64_t& dataEnd, int64_t& after);
  [[nodiscard]] bool EndstreamFollows();

  InputSource& m_source;
  PDReadBuffer m_buffer;
  PDLexer m_lexer;
  ObjectReader m_lengthReader;
  PDValuePtr m_root;
  PDValuePtr m_lengthVal;  // a copy of the /Length entry of the object's dictionary
  std::string m_type;
  int m_depth = 0;
  bool m_tooDeep = false;
  bool m_inPlace = true;
  int32_t m_storedSize = 0;
};

}  // namespace folian
