// KYTTDroppedFiles: lets a form accept files dragged onto it from the shell and reports each
// dropped file (its full path, name or extension) through events.
#ifndef KYT_FILES_KYTTDROPPEDFILES_H
#define KYT_FILES_KYTTDROPPEDFILES_H

#include <cstdint>
#include <string>

#include "framework/KYTTFormHook.h"
#include "host/core/Events.h"
#include "host/core/Strings.h"
#include "host/os/Win.h"

namespace kyt {

// What is collected per dropped file.
enum TKYTFileDisplay : uint8_t { dFullPath, dFullName, dExtension };
KYT_ENUM_INFO(TKYTFileDisplay, "dFullPath", "dFullName", "dExtension")

// OnDrop(Sender, DroppedItem): the text just collected for one file.
using TKYTOnDrop = TEvent<TObject*, const std::string&>;

// The name part of a path (after its last backslash) and the extension of that part (after its
// first dot; empty without one), as the component collects them.
std::string KYTDroppedName(const std::string& path);
std::string KYTDroppedExtension(const std::string& path);

// Watches its owner form (which must be a form) for WM_DROPFILES through the window hook. Active
// registers the form as a drop target, in the designer as at run time.
class TKYTDroppedFiles : public TKYTHookComponent {
  KYT_CLASS(TKYTDroppedFiles, TKYTHookComponent)
 public:
  static void Publish(TPublisher<TKYTDroppedFiles>& p) {
    // What is collected of each dropped file: its full path, its name or its extension.
    p.Property("CollectBy", &TKYTDroppedFiles::CollectBy, &TKYTDroppedFiles::SetCollectBy)
        .Default(dFullPath);
    // The texts collected from the last drop, one line per file, in the shell's order.
    p.Property("DroppedItems", &TKYTDroppedFiles::DroppedItems, &TKYTDroppedFiles::SetDroppedItems)
        .Stored(TStored::Never);
    // Lets the owner form accept files dragged onto it from the shell.
    p.Property("Active", &TKYTDroppedFiles::Active, &TKYTDroppedFiles::SetActive).Default(false);
    // Fired when a drop arrives, before its files are collected.
    p.Property("OnStartDrop", &TKYTDroppedFiles::OnStartDrop, &TKYTDroppedFiles::SetOnStartDrop);
    // Fired once every file of a drop is collected in DroppedItems.
    p.Property("OnEndDrop", &TKYTDroppedFiles::OnEndDrop, &TKYTDroppedFiles::SetOnEndDrop);
    // Fired for each dropped file with the text collected for it.
    p.Property("OnDrop", &TKYTDroppedFiles::OnDrop, &TKYTDroppedFiles::SetOnDrop);
  }

  // An owner that is not a form raises EInvalidCast before anything is created.
  explicit TKYTDroppedFiles(TComponent* AOwner);
  ~TKYTDroppedFiles() override;

  // Properties
  TKYTFileDisplay CollectBy() const { return FCollectBy; }
  void SetCollectBy(TKYTFileDisplay value) { FCollectBy = value; }
  // The texts of the last drop, in the shell's order.
  TStrings* DroppedItems() const { return FDroppedItems; }
  void SetDroppedItems(TStrings* value);  // copies the lines
  bool Active() const { return FActive; }
  // Stores the value and tells the shell at once whether the hooked window accepts files.
  void SetActive(bool value);

  // Events
  // Raised when a drop arrives, while DroppedItems still holds the previous drop.
  const TNotifyEvent& OnStartDrop() const { return FOnStartDrop; }
  void SetOnStartDrop(const TNotifyEvent& value) { FOnStartDrop = value; }
  const TNotifyEvent& OnEndDrop() const { return FOnEndDrop; }
  void SetOnEndDrop(const TNotifyEvent& value) { FOnEndDrop = value; }
  const TKYTOnDrop& OnDrop() const { return FOnDrop; }
  void SetOnDrop(const TKYTOnDrop& value) { FOnDrop = value; }

  // Methods
  // Collects the files of a drop and raises the events. The drop handle is finished exactly
  // once, also when a handler raises or frees the component; a null handle is ignored. A name
  // the shell cannot give is left out.
  void DropFiles(HDROP Drop);

 protected:
  // Applies the streamed Active to the final window handle.
  void Loaded() override;
  // Consumes WM_DROPFILES; every other message goes on to the form.
  void Hooked(TMessage& Message) override;

 private:
  // Whether another dropped-files component of the same owner still accepts drops.
  bool AnotherActiveOnOwner() const;
  std::string Collect(const std::string& path) const;

  TKYTFileDisplay FCollectBy = dFullPath;
  TStrings* FDroppedItems = nullptr;
  bool FActive = false;
  TNotifyEvent FOnStartDrop;
  TNotifyEvent FOnEndDrop;
  TKYTOnDrop FOnDrop;
};

}  // namespace kyt

#endif  // KYT_FILES_KYTTDROPPEDFILES_H
