// Strings: TStrings text forms and name=value access; TStringList storage, sorting, events.
#include "host/core/Strings.h"

#include <algorithm>
#include <utility>

#include "host/core/TextCompare.h"

namespace kyt {

namespace {

int PortableCompare(std::string_view a, std::string_view b, bool ignoreCase) {
  if (ignoreCase) return core::CompareText(a, b);
  const int r = a.compare(b);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

TTextCompare gTextCompare = &PortableCompare;

}  // namespace

void SetTextCompare(TTextCompare compare) { gTextCompare = compare ? compare : &PortableCompare; }

int CompareListText(std::string_view a, std::string_view b, bool ignoreCase) {
  return gTextCompare(a, b, ignoreCase);
}

// ---- TStrings

void TStrings::Error(const std::string& message, int index) const {
  throw EListError(message + " (" + std::to_string(index) + ")");
}

void TStrings::Put(int index, const std::string& s) {
  TObject* object = Objects(index);
  Delete(index);
  InsertObject(index, s, object);
}

TObject* TStrings::Objects(int) const { return nullptr; }

void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const std::string& s) {
  const int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
  const int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::AddStrings(const TStrings* strings) {
  if (!strings) return;
  Updating([&] {
    for (int i = 0; i < strings->Count(); ++i) AddObject(strings->Get(i), strings->Objects(i));
  });
}

void TStrings::Assign(const TPersistent* source) {
  if (const auto* strings = dynamic_cast<const TStrings*>(source)) {
    if (strings == this) return;
    Updating([&] {
      Clear();
      AddStrings(strings);
    });
    return;
  }
  TPersistent::Assign(source);
}

bool TStrings::Equals(const TStrings* strings) const {
  if (!strings || strings->Count() != Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != strings->Get(i)) return false;
  return true;
}

void TStrings::Exchange(int index1, int index2) {
  Updating([&] {
    const std::string s1 = Get(index1);
    TObject* o1 = Objects(index1);
    Put(index1, Get(index2));
    PutObject(index1, Objects(index2));
    Put(index2, s1);
    PutObject(index2, o1);
  });
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  Updating([&] {
    const std::string s = Get(curIndex);
    TObject* object = Objects(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, object);
  });
}

int TStrings::IndexOf(const std::string& s) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

std::string TStrings::ExtractName(const std::string& line) const {
  const size_t pos = line.find(FNameValueSeparator);
  return pos == std::string::npos ? std::string() : line.substr(0, pos);
}

int TStrings::IndexOfName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string line = Get(i);
    const size_t pos = line.find(FNameValueSeparator);
    if (pos != std::string::npos && CompareStrings(line.substr(0, pos), name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (Objects(i) == object) return i;
  return -1;
}

std::string TStrings::Text() const {
  std::string text;
  for (int i = 0; i < Count(); ++i) {
    text += Get(i);
    text += "\r\n";
  }
  return text;
}

void TStrings::SetText(const std::string& text) {
  Updating([&] {
    Clear();
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find_first_of("\r\n", start);
      if (end == std::string::npos) {
        Add(text.substr(start));
        break;
      }
      Add(text.substr(start, end - start));
      start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
  });
}

std::string TStrings::CommaText() const {
  TStrings& self = const_cast<TStrings&>(*this);
  const char delimiter = FDelimiter, quote = FQuoteChar;
  self.FDelimiter = ',';
  self.FQuoteChar = '"';
  std::string text = DelimitedText();
  self.FDelimiter = delimiter;
  self.FQuoteChar = quote;
  return text;
}

void TStrings::SetCommaText(const std::string& text) {
  const char delimiter = FDelimiter, quote = FQuoteChar;
  FDelimiter = ',';
  FQuoteChar = '"';
  SetDelimitedText(text);
  FDelimiter = delimiter;
  FQuoteChar = quote;
}

namespace {
bool NeedsQuotes(const std::string& s, char delimiter, char quote) {
  if (s.empty()) return true;
  for (char c : s)
    if (static_cast<unsigned char>(c) <= ' ' || c == delimiter || c == quote) return true;
  return false;
}

std::string Quoted(const std::string& s, char quote) {
  std::string out(1, quote);
  for (char c : s) {
    out += c;
    if (c == quote) out += c;
  }
  out += quote;
  return out;
}

bool IsBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }
}  // namespace

std::string TStrings::DelimitedText() const {
  if (Count() == 1 && Get(0).empty()) return std::string(2, FQuoteChar);
  std::string text;
  for (int i = 0; i < Count(); ++i) {
    if (i) text += FDelimiter;
    const std::string s = Get(i);
    text += NeedsQuotes(s, FDelimiter, FQuoteChar) ? Quoted(s, FQuoteChar) : s;
  }
  return text;
}

void TStrings::SetDelimitedText(const std::string& text) {
  // The text ends at its first zero character, as the family's does.
  const size_t n = std::min(text.size(), text.find('\0'));
  Updating([&] {
    Clear();
    size_t p = 0;
    while (p < n && IsBlank(text[p])) ++p;
    while (p < n) {
      std::string item;
      if (text[p] == FQuoteChar) {
        ++p;
        while (p < n) {
          if (text[p] == FQuoteChar) {
            if (p + 1 < n && text[p + 1] == FQuoteChar) {
              item += FQuoteChar;
              p += 2;
              continue;
            }
            ++p;
            break;
          }
          item += text[p++];
        }
      } else {
        const size_t start = p;
        while (p < n && static_cast<unsigned char>(text[p]) > ' ' && text[p] != FDelimiter) ++p;
        item = text.substr(start, p - start);
      }
      Add(item);
      while (p < n && IsBlank(text[p])) ++p;
      if (p < n && text[p] == FDelimiter) {
        if (p + 1 == n) Add(std::string());
        do ++p;
        while (p < n && IsBlank(text[p]));
      }
    }
  });
}

std::string TStrings::Names(int index) const { return ExtractName(Get(index)); }

std::string TStrings::Values(const std::string& name) const {
  const int index = IndexOfName(name);
  return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStrings::SetValue(const std::string& name, const std::string& value) {
  const int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  const std::string line = name + FNameValueSeparator + value;
  if (index >= 0) Put(index, line);
  else Add(line);
}

std::string TStrings::ValueFromIndex(int index) const {
  const std::string line = Get(index);
  const size_t pos = line.find(FNameValueSeparator);
  return pos == std::string::npos ? std::string() : line.substr(pos + 1);
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const { return CompareListText(a, b, true); }

// ---- TStringList

TStringList::~TStringList() {
  FOnChange = {};
  FOnChanging = {};
  for (TItem& item : FItems) FreeObject(item.Object);
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) Error("List index out of bounds", index);
}

void TStringList::FreeObject(TObject* object) {
  if (FOwnsObjects) delete object;
}

std::string TStringList::Get(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].Text;
}

void TStringList::Put(int index, const std::string& s) {
  if (FSorted) Error("Operation not allowed on sorted list", index);
  CheckIndex(index);
  Changing();
  FItems[static_cast<size_t>(index)].Text = s;
  Changed();
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].Object;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  FItems[static_cast<size_t>(index)].Object = object;
  Changed();
}

void TStringList::Insert(int index, const std::string& s) {
  if (FSorted) Error("Operation not allowed on sorted list", index);
  if (index < 0 || index > Count()) Error("List index out of bounds", index);
  InsertItem(index, s, nullptr);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
  Changing();
  FItems.insert(FItems.begin() + index, TItem{s, object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  TObject* object = FItems[static_cast<size_t>(index)].Object;
  FItems.erase(FItems.begin() + index);
  FreeObject(object);
  Changed();
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  Changing();
  std::vector<TItem> items;
  items.swap(FItems);
  for (TItem& item : items) FreeObject(item.Object);
  Changed();
}

int TStringList::Add(const std::string& s) {
  if (!FSorted) {
    const int index = Count();
    InsertItem(index, s, nullptr);
    return index;
  }
  int index = 0;
  if (Find(s, index)) {
    if (FDuplicates == dupIgnore) return index;
    if (FDuplicates == dupError) throw EListError("String list does not allow duplicates");
  }
  InsertItem(index, s, nullptr);
  return index;
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(FItems[static_cast<size_t>(index1)], FItems[static_cast<size_t>(index2)]);
  Changed();
}

int TStringList::IndexOf(const std::string& s) const {
  if (!FSorted) return TStrings::IndexOf(s);
  int index = 0;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
  // Lower bound: the first of equal lines, so a sorted list keeps duplicates together.
  int low = 0, high = Count();
  while (low < high) {
    const int mid = low + (high - low) / 2;
    if (CompareStrings(FItems[static_cast<size_t>(mid)].Text, s) < 0) low = mid + 1;
    else high = mid;
  }
  index = low;
  return low < Count() && CompareStrings(FItems[static_cast<size_t>(low)].Text, s) == 0;
}

void TStringList::Sort() {
  if (FItems.size() < 2) return;
  Changing();
  std::stable_sort(FItems.begin(), FItems.end(),
                   [this](const TItem& a, const TItem& b) { return CompareStrings(a.Text, b.Text) < 0; });
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (FSorted == value) return;
  if (value) Sort();
  FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (FCaseSensitive == value) return;
  FCaseSensitive = value;
  if (FSorted) Sort();
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) Changing();
  else Changed();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
  return CompareListText(a, b, !FCaseSensitive);
}

void TStringList::Changed() {
  if (UpdateCount() == 0) FOnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0) FOnChanging(this);
}

}  // namespace kyt
