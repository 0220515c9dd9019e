// KYTTHolders: the string holder, the joke holder and the joke holder's built-in lines.
#include "strings/KYTTHolders.h"

#include "host/rtl/Random.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClasses({&TKYTStringHolder::StaticClass(), &TKYTJokeHolder::StaticClass()});
  return true;
}();

}  // namespace

const char* const kKYTJokes[kKYTJokeCount] = {
    "My compiler and I agree on one thing: it is always my fault.",
    "E Pluribus Modem",
    "The printer senses your deadline and jams accordingly.",
    "Press any key to continue, or any other key to stop.",
    "A byte is just a bit with ambitions, times eight.",
    "Error 404: witty line not found.",
    "Binary jokes come in two kinds: funny and not funny.",
    "The cloud rained files on the wrong folder again.",
    "Debugging: removing the bugs you added while fixing the others.",
    "My code never has bugs. It grows undocumented features.",
    "The modem hums because it forgot the words.",
    "The keyboard is sticky with the crumbs of many deadlines.",
    "Real programmers count from zero, then wonder where the last one went.",
    "The backup worked perfectly. The restore is another story.",
    "Cache is king until it is stale.",
    "The packet got lost on its way to the punch line.",
    "A recursive joke starts by telling a recursive joke.",
    "Low on memory, the computer politely forgot my name.",
    "The screen saver works hard so you do not have to.",
    "Windows of opportunity close without saving your changes.",
    "The mouse ran off with the cursor again.",
    "Does fuzzy logic tickle?",
    "The spell checker approved every wrong word I typed.",
    "My password is the last thing I remember forgetting.",
    "The floppy disk is the save icon's retirement home.",
    "Semicolons: small, forgettable, and somehow in charge.",
    "The progress bar says one minute left, as it has for an hour.",
    "The help desk's favourite spell: off, wait, on.",
    "The server is down, but its spirits are up.",
    "A programmer's favourite hiding place: the variable named temp2.",
    "Tabs or spaces? The answer is yes, in the same file.",
    "The help file needs help.",
    "This sentence was compiled with warnings.",
    "Commit message: fixed it. Next commit: really fixed it.",
    "The loop said it would stop soon, and said it again, and again.",
    "My hard disk is full of things I keep just in case.",
    "Optimism: writing a whole chapter before pressing Save.",
    "The null pointer points at nothing, and it means it.",
    "The installer needs two gigabytes to install a two kilobyte program.",
    "Undo is the most honest button on the toolbar.",
    "The manual was in the box the program came in. The box is gone.",
    "Beta testers find the bugs so the release can ship them anyway.",
    "The old computer is not slow; it is thinking very carefully.",
    "The fan spins up whenever you open the spreadsheet of doom.",
    "System tray: where icons go to be forgotten.",
    "Ctrl+Z wishes it worked on conversations too.",
    "The modem's song is the sound of patience being tested.",
    "An optimist sees a half-full disk; an administrator sees a half-empty one.",
    "The variable was renamed so often it forgot who it was.",
    "Reboot: the oldest cure and still the most popular.",
    "A pixel walked into a bar and was a little off-colour.",
    "The firewall let nothing in, including the update.",
    "Loading... please wait while we pretend to be busy.",
    "The calculator has problems, but it solves them.",
    "Ready, said the prompt, and it always is.",
    "Deleted files go to the recycle bin to think about what they did.",
    "The disc tray opens whenever nobody asked it to.",
    "Autocorrect turns your typos into someone else's typos.",
    "One more feature, said the project, and then it was never finished.",
    "The log file grew so long it needed a log file of its own.",
    "The spreadsheet has more tabs than the browser, and that is saying something.",
    "Shut Down lives on the Start menu, which still puzzles everyone.",
};

// ---- TKYTStringHolder

TKYTStringHolder::TKYTStringHolder(TComponent* AOwner) : inherited(AOwner) {
  FItems = new TStringList();
}

TKYTStringHolder::~TKYTStringHolder() { delete FItems; }

void TKYTStringHolder::SetStrings(TStrings* Value) {
  if (Value != FItems) FItems->Assign(Value);
}

// ---- TKYTJokeHolder

TKYTJokeHolder::TKYTJokeHolder(TComponent* AOwner) : inherited(AOwner) {
  FItems = new TStringList();
  FItems->Updating([this] {
    for (const char* joke : kKYTJokes) FItems->Add(joke);
  });
}

TKYTJokeHolder::~TKYTJokeHolder() { delete FItems; }

void TKYTJokeHolder::SetStrings(TStrings* Value) {
  if (Value != FItems) FItems->Assign(Value);
}

std::string TKYTJokeHolder::Getany() {
  Randomize();
  if (FItems->Count() == 0) return std::string();
  return FItems->Strings(Random(FItems->Count()));
}

std::string TKYTJokeHolder::Getone(int Index) const {
  if (Index < 0 || Index >= FItems->Count()) return std::string();
  return FItems->Strings(Index);
}

}  // namespace kyt
