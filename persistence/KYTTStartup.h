// KYTTStartup: makes the system start the application at every log-on through an entry of the
// machine's Run list, named by the application.
#ifndef KYT_PERSISTENCE_KYTTSTARTUP_H
#define KYT_PERSISTENCE_KYTTSTARTUP_H

#include <string>

#include "framework/KYTSystem.h"

namespace kyt {

// The Run list, from the root of HKEY_LOCAL_MACHINE.
inline constexpr const char* kKYTRunKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Run entry's data for an executable path: the path itself, or the path in double quotes
// when it holds a space. A Run value is a command line, and an unquoted "C:\Program Files\x.exe"
// would start a planted C:\Program.exe at every log-on.
std::string KYTRunCommand(const std::string& exePath);

class TKYTStartup : public TKYTSystemsComponent {
  KYT_CLASS(TKYTStartup, TKYTSystemsComponent)
 public:
  // UniqueName comes first, so a form sets the name before AutoStartup acts on it.
  static void Publish(TPublisher<TKYTStartup>& p) {
    // The name of the application's entry in the machine's Run list.
    p.Property("UniqueName", &TKYTStartup::UniqueName, &TKYTStartup::SetUniqueName);
    // Setting it at run time adds (true) or removes (false) the entry that starts the application
    // at every log-on.
    p.Property("AutoStartup", &TKYTStartup::AutoStartup, &TKYTStartup::SetAutoStartup)
        .Stored(TStored::Always);
  }

  explicit TKYTStartup(TComponent* AOwner);

  // Properties
  // The Run value's name. Changing it leaves an entry written under the old name alone.
  std::string UniqueName() const { return FUniqueName; }
  void SetUniqueName(const std::string& value);
  // What the application last assigned, not what the registry holds. Setting it to a new value
  // at run time (a form stored with true too) adds or removes the entry; the designer never
  // touches the registry.
  bool AutoStartup() const { return FAutoStartup; }
  void SetAutoStartup(bool Value);

  // Methods
  // Adds (true) or removes (false) the entry named UniqueName; reports by result: true only
  // when the value was written or deleted. An existing entry is never overwritten.
  bool InstallApp(bool Install);

 private:
  std::string FUniqueName;
  bool FAutoStartup = false;
};

}  // namespace kyt

#endif  // KYT_PERSISTENCE_KYTTSTARTUP_H
