// libFuzzer target: the comma text and delimited text of string lists. The first byte picks the
// form (comma text, or delimited text with the delimiter and quote character of the next two
// bytes) and whether the rest is a list of strings (split at zero bytes, which no item can
// hold: the text ends at its first zero character) or a text. A list must come back whole from
// its text; a text must settle after one reading: list, text, list and text again are the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/core/Strings.h"

namespace {

using namespace kyt;

void Check(bool condition) {
  if (!condition) std::abort();
}

struct TForm {
  bool Comma = true;
  char Delimiter = ',';
  char Quote = '"';
};

// A quote character that is a blank is skipped before it is seen, and one that is also the
// delimiter makes every text ambiguous; neither is a form a list can be written in.
bool Usable(const TForm& form) {
  if (form.Comma) return true;
  return form.Delimiter != '\0' && static_cast<unsigned char>(form.Quote) > ' ' && form.Quote != form.Delimiter;
}

void SetText(TStringList& list, const TForm& form, const std::string& text) {
  if (form.Comma) {
    list.SetCommaText(text);
    return;
  }
  list.SetDelimiter(form.Delimiter);
  list.SetQuoteChar(form.Quote);
  list.SetDelimitedText(text);
}

std::string TextOf(TStringList& list, const TForm& form) {
  if (form.Comma) {
    // Comma text keeps to ',' and '"' whatever the list's own delimiter and quote are.
    list.SetDelimiter(';');
    list.SetQuoteChar('\'');
    std::string text = list.CommaText();
    Check(list.Delimiter() == ';' && list.QuoteChar() == '\'');
    return text;
  }
  list.SetDelimiter(form.Delimiter);
  list.SetQuoteChar(form.Quote);
  return list.DelimitedText();
}

std::vector<std::string> Items(const TStringList& list) {
  std::vector<std::string> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Get(i));
  return items;
}

void ListComesBack(const TForm& form, const std::vector<std::string>& items) {
  TStringList list;
  for (const std::string& item : items) list.Add(item);
  const std::string text = TextOf(list, form);
  TStringList again;
  SetText(again, form, text);
  Check(Items(again) == items);
}

void TextSettles(const TForm& form, const std::string& text) {
  TStringList first;
  SetText(first, form, text);
  const std::string written = TextOf(first, form);
  TStringList second;
  SetText(second, form, written);
  Check(Items(second) == Items(first));
  Check(TextOf(second, form) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  TForm form;
  form.Comma = (data[0] & 1) != 0;
  const bool asList = (data[0] & 2) != 0;
  form.Delimiter = static_cast<char>(data[1]);
  form.Quote = static_cast<char>(data[2]);
  if (!Usable(form)) return 0;
  const std::string rest(reinterpret_cast<const char*>(data) + 3, size - 3);
  if (!asList) {
    TextSettles(form, rest);
    return 0;
  }
  std::vector<std::string> items;
  size_t start = 0;
  for (;;) {
    const size_t zero = rest.find('\0', start);
    items.push_back(rest.substr(start, zero == std::string::npos ? std::string::npos : zero - start));
    if (zero == std::string::npos) break;
    start = zero + 1;
  }
  if (rest.empty()) items.clear();
  ListComesBack(form, items);
  return 0;
}
