// KYTTFileCollector: searches a folder tree for the files matching one wildcard mask and
// collects their full paths, reporting each folder and file through events.
#ifndef KYT_FILES_KYTTFILECOLLECTOR_H
#define KYT_FILES_KYTTFILECOLLECTOR_H

#include <string>
#include <vector>

#include "framework/KYTSystem.h"
#include "host/core/ComponentRef.h"
#include "host/core/Events.h"
#include "host/core/Strings.h"

namespace kyt {

// Event type of OnFileFound: the sender and the full path of the file collected.
using TKYTOnFileFound = TEvent<TObject*, const std::string&>;

class TKYTFileCollector : public TKYTExecuteComponent {
  KYT_CLASS(TKYTFileCollector, TKYTExecuteComponent)
 public:
  static void Publish(TPublisher<TKYTFileCollector>& p) {
    // Fired once for each folder as its search begins, the initial folder included.
    p.Property("OnDirectoryFound", &TKYTFileCollector::OnDirectoryFound, &TKYTFileCollector::SetOnDirectoryFound);
    // Fired for each matching file with its full path, right after it is added to LocatedObjects.
    p.Property("OnFileFound", &TKYTFileCollector::OnFileFound, &TKYTFileCollector::SetOnFileFound);
    // The full paths Execute found, each folder's files before its subfolders'.
    p.Property("LocatedObjects", &TKYTFileCollector::LocatedObjects, &TKYTFileCollector::SetLocatedObjects);
    // The folder whose tree Execute searches; the current folder when empty.
    p.Property("InitialDirectory", &TKYTFileCollector::InitialDirectory, &TKYTFileCollector::SetInitialDirectory);
    // The wildcard pattern the files' names must match, such as *.txt.
    p.Property("FileMask", &TKYTFileCollector::FileMask, &TKYTFileCollector::SetFileMask);
  }

  explicit TKYTFileCollector(TComponent* AOwner);
  ~TKYTFileCollector() override;

  // Properties
  // The full paths collected by the last Execute: per folder its files in order, then each
  // subfolder's tree in order. Stored with the form like any list.
  TStrings* LocatedObjects() const { return FLocatedObjects; }
  void SetLocatedObjects(TStrings* value);  // copies the lines
  // Root of the search; Execute makes it a full path with a trailing backslash and keeps that.
  const std::string& InitialDirectory() const { return FInitialDirectory; }
  void SetInitialDirectory(const std::string& value) { FInitialDirectory = value; }
  // Wildcard pattern for file names, with the platform's matching rules; folders are always
  // entered whatever their names.
  const std::string& FileMask() const { return FFileMask; }
  void SetFileMask(const std::string& value) { FFileMask = value; }

  // Events
  // Once per folder as its scan begins, the initial one included.
  TNotifyEvent OnDirectoryFound() const { return FOnDirectoryFound; }
  void SetOnDirectoryFound(TNotifyEvent value) { FOnDirectoryFound = value; }
  // For every file right after it is added to LocatedObjects.
  TKYTOnFileFound OnFileFound() const { return FOnFileFound; }
  void SetOnFileFound(TKYTOnFileFound value) { FOnFileFound = value; }

  // Methods
  // Searches the tree below InitialDirectory (the current folder when empty); true when a
  // matching file lies directly in it. Pending messages are processed once per folder; when a
  // handler frees the component there, the search stops at once.
  bool Execute() override;
  // Scans one folder (a path ending in a backslash) and its subtree; true when a matching file
  // lies directly in it.
  bool Scandirectory(const std::string& Directory);

 private:
  // Scandirectory's work; stops at once, touching nothing, when self becomes null.
  bool ScanTree(const std::string& directory, const TComponentRef<TKYTFileCollector>& self);
  // The entries of one folder: subfolder paths and matching file paths, each sorted.
  void ListFolder(const std::string& directory, std::vector<std::string>& folders,
                  std::vector<std::string>& files) const;

  TNotifyEvent FOnDirectoryFound;
  TKYTOnFileFound FOnFileFound;
  TStrings* FLocatedObjects = nullptr;
  std::string FInitialDirectory;
  std::string FFileMask;
};

}  // namespace kyt

#endif  // KYT_FILES_KYTTFILECOLLECTOR_H
