// KYTTFileExecute: starts a program or opens a document through the shell with a verb,
// parameters, working folder and initial window state, and can wait until it has ended.
#ifndef KYT_FILES_KYTTFILEEXECUTE_H
#define KYT_FILES_KYTTFILEEXECUTE_H

#include <cstdint>
#include <string>

#include "framework/KYTSystem.h"
#include "host/os/Win.h"
#include "host/vcl/Forms.h"

namespace kyt {

// The shell verb Execute passes.
enum TKYTExeStyle : uint8_t {
  osDefault, osOpen, osPrint, osExplore, osNew, osInstall, osEdit, osFind, osTest, osConfigure,
  osPlay
};
KYT_ENUM_INFO(TKYTExeStyle, "osDefault", "osOpen", "osPrint", "osExplore", "osNew", "osInstall",
              "osEdit", "osFind", "osTest", "osConfigure", "osPlay")

// The verb text of a style, letter case included; empty for osDefault (the shell's default
// action). osConfigure has no verb of its own and opens.
std::string KYTExeVerb(TKYTExeStyle style);
// The show command of a window state: SW_SHOWNORMAL, SW_SHOWMINIMIZED or SW_SHOWMAXIMIZED.
uint16_t KYTShowCommand(TWindowState state);

class TKYTFileExecute : public TKYTExecuteComponent {
  KYT_CLASS(TKYTFileExecute, TKYTExecuteComponent)
 public:
  static void Publish(TPublisher<TKYTFileExecute>& p) {
    // The program or document Execute starts or opens.
    p.Property("Filename", &TKYTFileExecute::Filename, &TKYTFileExecute::SetFilename)
        .Stored(TStored::WhenNotDefault);
    // The command-line parameters handed to the program.
    p.Property("ExeParameters", &TKYTFileExecute::ExeParameters, &TKYTFileExecute::SetExeParameters)
        .Stored(TStored::WhenNotDefault);
    // The shell verb used: the default action, open, print, explore, edit, play and others.
    p.Property("ExeStyle", &TKYTFileExecute::ExeStyle, &TKYTFileExecute::SetExeStyle)
        .Default(osDefault);
    // The working folder the program starts in.
    p.Property("ExePath", &TKYTFileExecute::ExePath, &TKYTFileExecute::SetExePath)
        .Stored(TStored::WhenNotDefault);
    // Makes Execute wait until the started program has ended.
    p.Property("Wait", &TKYTFileExecute::Wait, &TKYTFileExecute::SetWait).Default(false);
    // How the program's window first shows: normal, minimised or maximised.
    p.Property("Windowstate", &TKYTFileExecute::Windowstate, &TKYTFileExecute::SetWindowstate)
        .Default(wsNormal);
  }

  explicit TKYTFileExecute(TComponent* AOwner);

  // Properties
  const std::string& Filename() const { return FFilename; }
  void SetFilename(const std::string& value) { FFilename = value; }
  const std::string& ExeParameters() const { return FExeParameters; }
  void SetExeParameters(const std::string& value) { FExeParameters = value; }
  TKYTExeStyle ExeStyle() const { return FExeStyle; }
  void SetExeStyle(TKYTExeStyle value);  // also sets the verb
  const std::string& ExePath() const { return FExePath; }
  void SetExePath(const std::string& value) { FExePath = value; }
  bool Wait() const { return FWait; }
  void SetWait(bool value) { FWait = value; }
  TWindowState Windowstate() const { return FWindowstate; }
  void SetWindowstate(TWindowState value);  // also sets the show command
  // The derived state the shell is given.
  const std::string& Verb() const { return FVerb; }
  uint16_t ShowCommand() const { return FShowCommand; }

  // Methods
  // Hands Filename to the shell with the verb, parameters, folder and show command. True when the
  // shell started something; false when it could not (a missing file, an unknown verb), after
  // the shell has shown its own error box. With Wait, blocks until the started process ends,
  // still answering messages other programs send to this thread's windows; when the shell
  // started no new process (a running viewer reused) it returns at once.
  bool Execute() override;

 private:
  std::string FFilename;
  std::string FExeParameters;
  TKYTExeStyle FExeStyle = osDefault;
  std::string FExePath;
  bool FWait = false;
  TWindowState FWindowstate = wsNormal;
  std::string FVerb;
  uint16_t FShowCommand = SW_SHOWNORMAL;
};

}  // namespace kyt

#endif  // KYT_FILES_KYTTFILEEXECUTE_H
