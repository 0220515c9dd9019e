// KYTTTextReplace: copies a text file line by line into a new file, handing each line to the
// application first, which may change it, drop it or put extra lines ahead of it.
#ifndef KYT_FILES_KYTTTEXTREPLACE_H
#define KYT_FILES_KYTTTEXTREPLACE_H

#include <cstdint>
#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"
#include "host/rtl/TextFiles.h"

namespace kyt {

// BeforeWrite(Sender, Line, LineNo, WriteLine): Line may be changed; LineNo counts source lines
// from 1; WriteLine is true on entry and set false to drop the line.
using TKYTBeforeWrite = TEvent<TObject*, std::string&, int32_t, bool&>;

// Each instance has its own source and output file, so two components never write into each
// other's output. The application's pending messages are processed once per line.
class TKYTTextReplace : public TKYTSystemsComponent {
  KYT_CLASS(TKYTTextReplace, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTTextReplace>& p) {
    // The text file Execute reads.
    p.Property("FileFrom", &TKYTTextReplace::FileFrom, &TKYTTextReplace::SetFileFrom)
        .Stored(TStored::WhenNotDefault);
    // The file Execute writes, replaced when it exists.
    p.Property("FileTo", &TKYTTextReplace::FileTo, &TKYTTextReplace::SetFileTo)
        .Stored(TStored::WhenNotDefault);
    // Fired for each line before it is written; the handler may change the line or drop it.
    p.Property("BeforeWrite", &TKYTTextReplace::BeforeWrite, &TKYTTextReplace::SetBeforeWrite);
    // Passes on only the first NoOfLinesOnly lines of the source.
    p.Property("UseNoOfLines", &TKYTTextReplace::UseNoOfLines, &TKYTTextReplace::SetUseNoOfLines)
        .Default(false);
    // How many lines are passed on while UseNoOfLines is set.
    p.Property("NoOfLinesOnly", &TKYTTextReplace::NoOfLinesOnly, &TKYTTextReplace::SetNoOfLinesOnly)
        .Default(0);
  }

  using TKYTSystemsComponent::TKYTSystemsComponent;
  ~TKYTTextReplace() override;

  // Properties
  const std::string& FileFrom() const { return FFileFrom; }
  void SetFileFrom(const std::string& value) { FFileFrom = value; }
  const std::string& FileTo() const { return FFileTo; }
  void SetFileTo(const std::string& value) { FFileTo = value; }
  bool UseNoOfLines() const { return FUseNoOfLines; }
  void SetUseNoOfLines(bool value) { FUseNoOfLines = value; }
  int32_t NoOfLinesOnly() const { return FNoOfLinesOnly; }
  void SetNoOfLinesOnly(int32_t value) { FNoOfLinesOnly = value; }

  // Events
  const TKYTBeforeWrite& BeforeWrite() const { return FBeforeWrite; }
  void SetBeforeWrite(const TKYTBeforeWrite& value) { FBeforeWrite = value; }

  // Methods
  // Copies FileFrom into FileTo (created or replaced); true when at least one line was processed.
  // Raises Exception "Filename not supplied" when a name is empty, EInOutError for file errors;
  // both files are closed on every path. Both names are made full when the run starts. The
  // output goes to a new file of its own in FileTo's folder and replaces FileTo when the run
  // ends, so a file error leaves FileTo as it was; a FileTo that is not an ordinary file (NUL, a
  // device) is written in place. The source is opened first, so a missing source or a FileTo
  // naming the source fails before anything is written.
  // A run stopped by a raising handler, or whose component is freed while messages are
  // processed (its form closed; it then returns false), still puts what it wrote in FileTo.
  bool Execute();
  // Writes S as a line of the output, ahead of the current line, while the current line's write
  // flag is true (before the first Execute it is false: nothing happens). Outside a run whose
  // last flag was true it raises EInOutError, since the output is closed.
  void AddNewString(const std::string& S);

 private:
  // Closes whichever of the two files is open, dropping close errors, and puts the output made
  // so far in FileTo (a run stopped by a handler or by the component's end).
  void CloseBoth() noexcept;
  // Closes both and deletes the output made so far (a run stopped by a file error).
  void DropOutput() noexcept;
  // Checks that FileTo takes writing, then opens the pending output beside it.
  void OpenOutput();
  // The pending output replaces FileTo; EInOutError when it cannot.
  void CommitOutput();
  // Creates the pending output's file under a name no file has; EInOutError when it cannot.
  [[nodiscard]] std::string CreatePending() const;

  std::string FFileFrom;
  std::string FFileTo;
  TKYTBeforeWrite FBeforeWrite;
  bool FUseNoOfLines = false;
  int32_t FNoOfLinesOnly = 0;
  TextFile FSource;
  TextFile FOutput;
  std::string FTarget;   // FileTo made full when the run started
  std::string FPending;  // the output's file until the run ends; empty between runs and in place
  std::string FCurrentLine;
  int32_t FLineNo = 0;
  bool FWriteLine = false;
};

}  // namespace kyt

#endif  // KYT_FILES_KYTTTEXTREPLACE_H
