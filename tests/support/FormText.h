// FormText.h: a form file's text as a person reads it, for tests that look for a value in it:
// every string expression ('abc'#1058#1077 + 'def', split across lines by the writer) becomes one
// quoted string of the text it stands for (the # codes are UTF-16 units, pairs joined).
#ifndef KYT_TESTS_SUPPORT_FORMTEXT_H
#define KYT_TESTS_SUPPORT_FORMTEXT_H

#include <cctype>
#include <string>

namespace kyt::test {

namespace form_text {

inline void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Reads the string expression at text[i] (a quote or '#') into value; returns the index after it.
inline size_t ReadExpression(const std::string& text, size_t i, std::string& value) {
  unsigned high = 0;  // a high surrogate waiting for its low one
  for (;;) {
    if (i < text.size() && text[i] == '\'') {
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
      if (code >= 0xD800 && code < 0xDC00) {
        high = code;
        continue;
      }
      if (high && code >= 0xDC00 && code < 0xE000) code = 0x10000 + ((high - 0xD800) << 10) + (code - 0xDC00);
      high = 0;
      AppendUtf8(value, code);
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
