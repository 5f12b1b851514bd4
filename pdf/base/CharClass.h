#pragma once
// Character classes of PDF syntax, shared by the lexer and the text filters.
namespace folian {

// PDF white space: blank, tab, line feed, form feed, carriage return and NUL.
[[nodiscard]] constexpr bool IsPdfWhite(int c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == 0; }
[[nodiscard]] constexpr bool IsPdfDelimiter(int c) {
  return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}' ||
         c == '/' || c == '%';
}
[[nodiscard]] constexpr bool IsPdfDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace folian
