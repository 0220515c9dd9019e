// KYTTDroppedFiles: the dropped-files component.
#include "files/KYTTDroppedFiles.h"

#include <vector>

#include "host/core/ComponentRef.h"
#include "host/core/Exceptions.h"
#include "host/os/OsSeam.h"
#include "host/rtl/WideText.h"
#include "host/vcl/Forms.h"

namespace kyt {

namespace {
// Form files create the component by name, so the unit makes it known as it loads.
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTDroppedFiles::StaticClass());
  return true;
}();

// Checked before the hook base runs, so a refused owner leaves nothing behind.
TComponent* RequireFormOwner(TComponent* owner) {
  if (!owner) throw EInvalidCast("Invalid class typecast: TKYTDroppedFiles needs a form as its owner");
  ObjectCast<TCustomForm>(owner);
  return owner;
}

// Finishes a drop when it goes out of scope: the shell's handle is released exactly once,
// whatever the handlers do.
class TDropFinisher {
 public:
  explicit TDropFinisher(HDROP drop) : FDrop(drop) {}
  ~TDropFinisher() { os::shell32.DragFinish(FDrop); }
  TDropFinisher(const TDropFinisher&) = delete;
  TDropFinisher& operator=(const TDropFinisher&) = delete;

 private:
  HDROP FDrop;
};

// Index of the first character of the name part: after the last backslash, or 0.
size_t NameStart(const std::string& path) {
  size_t i = path.size();
  while (i > 0 && path[i - 1] != '\\') --i;
  return i;
}

// Starts at 128 characters and only grows, as names need, up to the longest path in UTF-8.
constexpr UINT kInitialNameBuffer = 128;
constexpr size_t kLongestName = 32768 * kMaxBytesPerChar;
}  // namespace

std::string KYTDroppedName(const std::string& path) { return path.substr(NameStart(path)); }

std::string KYTDroppedExtension(const std::string& path) {
  const size_t start = NameStart(path);
  const size_t dot = path.find('.', start);
  return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

TKYTDroppedFiles::TKYTDroppedFiles(TComponent* AOwner)
    : TKYTHookComponent(RequireFormOwner(AOwner)), FDroppedItems(new TStringList) {}

TKYTDroppedFiles::~TKYTDroppedFiles() {
  // A form left accepting drops would take every later drop's handle and never finish it; the
  // form goes on accepting only for another active component of its own.
  if (FActive && !AnotherActiveOnOwner() && os::user32.IsWindow(FOwnerHandle))
    os::shell32.DragAcceptFiles(FOwnerHandle, FALSE);
  delete FDroppedItems;
}

bool TKYTDroppedFiles::AnotherActiveOnOwner() const {
  const TComponent* owner = Owner();
  for (int i = 0; owner && i < owner->ComponentCount(); ++i) {
    const auto* other = dynamic_cast<const TKYTDroppedFiles*>(owner->Components(i));
    if (other && other != this && other->FActive) return true;
  }
  return false;
}

void TKYTDroppedFiles::SetDroppedItems(TStrings* value) { FDroppedItems->Assign(value); }

void TKYTDroppedFiles::SetActive(bool value) {
  FActive = value;
  os::shell32.DragAcceptFiles(FOwnerHandle, value ? TRUE : FALSE);
}

void TKYTDroppedFiles::Loaded() {
  inherited::Loaded();
  SetActive(FActive);
}

void TKYTDroppedFiles::Hooked(TMessage& Message) {
  if (Message.Msg != WM_DROPFILES) {
    inherited::Hooked(Message);
    return;
  }
  Message.Result = 0;
  DropFiles(reinterpret_cast<HDROP>(Message.WParam));
}

std::string TKYTDroppedFiles::Collect(const std::string& path) const {
  switch (FCollectBy) {
    case dFullName:
      return KYTDroppedName(path);
    case dExtension:
      return KYTDroppedExtension(path);
    case dFullPath:
    default:
      return path;
  }
}

void TKYTDroppedFiles::DropFiles(HDROP Drop) {
  if (!Drop) return;  // any process can send WM_DROPFILES; a null handle holds no files
  TDropFinisher finisher(Drop);
  TComponentRef<TKYTDroppedFiles> self(this);
  FOnStartDrop(this);
  if (!self) return;
  FDroppedItems->Clear();
  std::vector<char> buffer(kInitialNameBuffer);
  const UINT count = os::shell32.DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = os::shell32.DragQueryFileA(Drop, i, nullptr, 0);
    if (length + 1 > buffer.size()) buffer.resize(length + 1);
    UINT copied = os::shell32.DragQueryFileA(Drop, i, buffer.data(), static_cast<UINT>(buffer.size()));
    // Without the length asked first, a name that fills the buffer may be cut: it is read again
    // with more room.
    while (length == 0 && copied + 1 >= buffer.size() && buffer.size() < kLongestName) {
      buffer.resize(buffer.size() * 2);
      copied = os::shell32.DragQueryFileA(Drop, i, buffer.data(), static_cast<UINT>(buffer.size()));
    }
    // A name the shell cannot give is left out: an empty entry would name no file.
    if (copied == 0 || copied >= buffer.size()) continue;
    const std::string item = Collect(std::string(buffer.data(), copied));
    FDroppedItems->Add(item);
    FOnDrop(this, item);
    if (!self) return;
  }
  FOnEndDrop(this);
}

}  // namespace kyt
