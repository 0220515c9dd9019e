// KYTTHolders: two components that keep lines on a form: the string holder, with whatever the
// developer typed in, and the joke holder, pre-filled with one-line computer jokes.
#ifndef KYT_STRINGS_KYTTHOLDERS_H
#define KYT_STRINGS_KYTTHOLDERS_H

#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Strings.h"

namespace kyt {

// The joke holder's built-in lines, in the order its constructor adds them.
inline constexpr int kKYTJokeCount = 62;
extern const char* const kKYTJokes[kKYTJokeCount];

// Keeps lines typed in the form designer with the form, for the application to read at run time.
class TKYTStringHolder : public TKYTSystemsComponent {
  KYT_CLASS(TKYTStringHolder, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTStringHolder>& p) {
    // The lines kept with the form, typed in the form designer.
    p.Property("Items", &TKYTStringHolder::Items, &TKYTStringHolder::SetStrings);
  }

  explicit TKYTStringHolder(TComponent* AOwner);
  ~TKYTStringHolder() override;

  // Properties
  // The lines, owned and starting empty; the setter copies the lines given.
  TStrings* Items() const { return FItems; }
  void SetStrings(TStrings* Value);

 private:
  TStringList* FItems = nullptr;
};

// Keeps one-line computer jokes, built in or the form's own, and hands out one at random or by
// its position.
class TKYTJokeHolder : public TKYTSystemsComponent {
  KYT_CLASS(TKYTJokeHolder, TKYTSystemsComponent)
 public:
  // Always stored: a holder whose lines were all deleted must read back empty, not with the
  // built-in jokes its constructor adds.
  static void Publish(TPublisher<TKYTJokeHolder>& p) {
    // The jokes, one a line: the built-in ones until the form gives its own.
    p.Property("Items", &TKYTJokeHolder::Items, &TKYTJokeHolder::SetStrings)
        .Stored(TStored::Always);
  }

  // Starts with the built-in jokes; a form's stored Items replace them.
  explicit TKYTJokeHolder(TComponent* AOwner);
  ~TKYTJokeHolder() override;

  // Properties
  TStrings* Items() const { return FItems; }
  void SetStrings(TStrings* Value);

  // Methods
  // A line drawn at random; empty when there are none. Re-seeds the runtime's process-wide
  // generator from the clock on every call, so other users of Random see a new sequence.
  std::string Getany();
  // Line Index (0-based); empty outside the list.
  std::string Getone(int Index) const;

 private:
  TStringList* FItems = nullptr;
};

}  // namespace kyt

#endif  // KYT_STRINGS_KYTTHOLDERS_H
