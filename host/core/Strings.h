// Strings: TStrings, the abstract list of strings, and TStringList, its stored implementation.
#ifndef KYT_HOST_CORE_STRINGS_H
#define KYT_HOST_CORE_STRINGS_H

#include <string>
#include <vector>

#include "host/core/Events.h"
#include "host/core/Persistent.h"

namespace kyt {

enum TDuplicates : uint8_t { dupIgnore, dupAccept, dupError };
KYT_ENUM_INFO(TDuplicates, "dupIgnore", "dupAccept", "dupError")

// Lines of text with an optional object per line; descendants provide the storage.
class TStrings : public TPersistent {
  KYT_CLASS(TStrings, TPersistent)
 public:
  TStrings() = default;

  // Storage (descendants implement); an index out of range raises EListError.
  virtual std::string Get(int index) const = 0;
  virtual int Count() const = 0;
  virtual void Put(int index, const std::string& s);
  virtual TObject* Objects(int index) const;
  virtual void PutObject(int index, TObject* object);
  virtual void Insert(int index, const std::string& s) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  // Methods
  std::string Strings(int index) const { return Get(index); }
  virtual int Add(const std::string& s);
  int AddObject(const std::string& s, TObject* object);
  void InsertObject(int index, const std::string& s, TObject* object);
  void AddStrings(const TStrings* strings);
  // Copies lines and objects from another TStrings.
  void Assign(const TPersistent* source) override;
  bool Equals(const TStrings* strings) const;
  virtual void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);
  // Case-insensitive unless the list says otherwise; -1 when absent.
  virtual int IndexOf(const std::string& s) const;
  int IndexOfName(const std::string& name) const;
  int IndexOfObject(const TObject* object) const;

  // Lines each followed by CR LF; SetText splits on CR LF, LF or CR.
  virtual std::string Text() const;
  virtual void SetText(const std::string& text);
  // Comma- (or Delimiter-) separated items, quoted with QuoteChar when they hold spaces,
  // delimiters, quotes or control characters.
  std::string CommaText() const;
  void SetCommaText(const std::string& text);
  std::string DelimitedText() const;
  void SetDelimitedText(const std::string& text);
  char Delimiter() const { return FDelimiter; }
  void SetDelimiter(char c) { FDelimiter = c; }
  char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char c) { FQuoteChar = c; }

  // name=value lines: Names(i) is empty for a line without '='. SetValue with an empty value
  // deletes the line.
  std::string Names(int index) const;
  std::string Values(const std::string& name) const;
  void SetValue(const std::string& name, const std::string& value);
  std::string ValueFromIndex(int index) const;
  char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char c) { FNameValueSeparator = c; }

  // Nested; change notification waits for the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  // Runs change between BeginUpdate and EndUpdate. EndUpdate runs on every path, so a change
  // that raises never leaves the list updating (and its notification silent) for good.
  template <class F>
  void Updating(F&& change) {
    BeginUpdate();
    try {
      change();
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  }
  int UpdateCount() const { return FUpdateCount; }

 protected:
  // Called when updating starts (true) or ends (false).
  virtual void SetUpdateState(bool updating);
  // Compares lines as IndexOf and Find do (case-insensitive here).
  virtual int CompareStrings(const std::string& a, const std::string& b) const;
  [[noreturn]] void Error(const std::string& message, int index) const;

 private:
  std::string ExtractName(const std::string& line) const;
  int FUpdateCount = 0;
  char FDelimiter = ',';
  char FQuoteChar = '"';
  char FNameValueSeparator = '=';
};

// String list kept in memory, optionally sorted.
class TStringList : public TStrings {
  KYT_CLASS(TStringList, TStrings)
 public:
  TStringList() = default;
  ~TStringList() override;

  std::string Get(int index) const override;
  int Count() const override { return static_cast<int>(FItems.size()); }
  void Put(int index, const std::string& s) override;
  TObject* Objects(int index) const override;
  void PutObject(int index, TObject* object) override;
  // Raises EListError on a sorted list (use Add).
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  // On a sorted list: inserts at the sorted place and applies Duplicates.
  int Add(const std::string& s) override;
  void Exchange(int index1, int index2) override;
  int IndexOf(const std::string& s) const override;

  // Binary search of a sorted list: true and the index when found, else the insert position.
  bool Find(const std::string& s, int& index) const;
  virtual void Sort();

  // Properties
  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates value) { FDuplicates = value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool value);
  // Whether the list deletes the objects of its lines when they go.
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool value) { FOwnsObjects = value; }

  // Events
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }
  const TNotifyEvent& OnChanging() const { return FOnChanging; }
  void SetOnChanging(const TNotifyEvent& e) { FOnChanging = e; }

 protected:
  void SetUpdateState(bool updating) override;
  int CompareStrings(const std::string& a, const std::string& b) const override;
  virtual void Changed();
  virtual void Changing();

 private:
  struct TItem {
    std::string Text;
    TObject* Object = nullptr;
  };
  void CheckIndex(int index) const;
  void InsertItem(int index, const std::string& s, TObject* object);
  void FreeObject(TObject* object);
  std::vector<TItem> FItems;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnChanging;
};

}  // namespace kyt

#endif
