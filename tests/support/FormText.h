// FormText.h: a form file's text as a person reads it, for tests that look for a value in it:
// every string expression ('abc'#1058#1077 + 'def', split across lines by the writer) becomes one
// quoted string of the text it stands for (the # codes are UTF-16 units, pairs joined).
#ifndef KYT_TESTS_SUPPORT_FORMTEXT_H
#define KYT_TESTS_SUPPORT_FORMTEXT_H

#include <cctype>
#include <string>

#include "host/core/CodePage.h"

namespace kyt::test {

namespace form_text {

// Reads the string expression at text[i] (a quote or '#') into value; returns the index after it.
inline size_t ReadExpression(const std::string& text, size_t i, std::string& value) {
  std::u16string units;  // the # codes, converted with the core's UTF-8 conversion (pairs joined)
  const auto flush = [&] {
    Utf16ToUtf8(units, value);
    units.clear();
  };
  for (;;) {
    if (i < text.size() && text[i] == '\'') {
      flush();
      for (++i; i < text.size(); ++i) {
        if (text[i] == '\'') {
          if (i + 1 < text.size() && text[i + 1] == '\'') {
            value += '\'';
            ++i;
            continue;
          }
          ++i;
          break;
        }
        value += text[i];
      }
    } else if (i < text.size() && text[i] == '#') {
      unsigned code = 0;
      for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) code = code * 10 + (text[i] - '0');
      units += static_cast<char16_t>(code);
    } else {
      // A '+' at the end of a line continues the expression on the next.
      size_t j = i;
      while (j < text.size() && text[j] == ' ') ++j;
      if (j < text.size() && text[j] == '+') {
        ++j;
        while (j < text.size() && std::isspace(static_cast<unsigned char>(text[j]))) ++j;
        if (j < text.size() && (text[j] == '\'' || text[j] == '#')) {
          i = j;
          continue;
        }
      }
      flush();
      return i;
    }
  }
}

}  // namespace form_text

inline std::string ReadableFormText(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == '\'' || (text[i] == '#' && i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1])))) {
      std::string value;
      i = form_text::ReadExpression(text, i, value);
      out += '\'' + value + '\'';
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace kyt::test

#endif
