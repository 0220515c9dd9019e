// KYTTLogFile: appends one line per call to a plain text log file, optionally prefixed by a tag,
// the time and the date, with a header line when the file is created or cleared.
#ifndef KYT_FILES_KYTTLOGFILE_H
#define KYT_FILES_KYTTLOGFILE_H

#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"
#include "host/rtl/DateTime.h"

namespace kyt {

// The file is opened, written, flushed and closed within every call, so the log is complete on
// disk after each line and other programs may read it between calls.
class TKYTLogFile : public TKYTSystemsComponent {
  KYT_CLASS(TKYTLogFile, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTLogFile>& p) {
    // The path of the log file; Log writes nothing while it is empty.
    p.Property("LogFile", &TKYTLogFile::LogFile, &TKYTLogFile::SetLogFile)
        .Stored(TStored::WhenNotDefault);
    // The line written first into a new or cleared file when LogHeader is set.
    p.Property("Header", &TKYTLogFile::Header, &TKYTLogFile::SetHeader).Stored(TStored::Always);
    // Puts the time before each line.
    p.Property("LogTime", &TKYTLogFile::LogTime, &TKYTLogFile::SetLogTime).Default(false);
    // Puts the date before each line, after the time.
    p.Property("LogDate", &TKYTLogFile::LogDate, &TKYTLogFile::SetLogDate).Default(false);
    // Puts the Special text first on each line.
    p.Property("LogSpecial", &TKYTLogFile::LogSpecial, &TKYTLogFile::SetLogSpecial).Default(false);
    // Writes the Header line when the file is created or cleared.
    p.Property("LogHeader", &TKYTLogFile::LogHeader, &TKYTLogFile::SetLogHeader).Default(false);
    // The tag put first on each line when LogSpecial is set.
    p.Property("Special", &TKYTLogFile::Special, &TKYTLogFile::SetSpecial).Stored(TStored::Always);
    // Fired by ClearLog before the file is emptied.
    p.Property("OnClear", &TKYTLogFile::OnClear, &TKYTLogFile::SetOnClear);
  }

  explicit TKYTLogFile(TComponent* AOwner);

  // Properties
  const std::string& LogFile() const { return FLogFile; }
  void SetLogFile(const std::string& value) { FLogFile = value; }
  const std::string& Header() const { return FHeader; }
  void SetHeader(const std::string& value) { FHeader = value; }
  bool LogTime() const { return FLogTime; }
  void SetLogTime(bool value) { FLogTime = value; }
  bool LogDate() const { return FLogDate; }
  void SetLogDate(bool value) { FLogDate = value; }
  bool LogSpecial() const { return FLogSpecial; }
  void SetLogSpecial(bool value) { FLogSpecial = value; }
  bool LogHeader() const { return FLogHeader; }
  void SetLogHeader(bool value) { FLogHeader = value; }
  const std::string& Special() const { return FSpecial; }
  void SetSpecial(const std::string& value) { FSpecial = value; }

  // Events
  // Raised by ClearLog before the file is emptied.
  const TNotifyEvent& OnClear() const { return FOnClear; }
  void SetOnClear(const TNotifyEvent& value) { FOnClear = value; }

  // Methods
  // Appends the line for Msg; a new file first gets the header when LogHeader is set. Nothing
  // happens while LogFile is empty. File errors raise EInOutError; the file is closed anyway,
  // and a file this call created is removed again.
  void Log(const std::string& Msg);
  // Raises OnClear, then empties an existing log file and writes the header when LogHeader is
  // set. A missing file is not created. Nothing happens while LogFile is empty.
  void ClearLog();
  // The line Log writes for Msg at the moment now: tag, time, date and message, each present
  // part separated by one space. Time and date come from the same moment.
  std::string FormatLine(const std::string& Msg, TDateTime now) const;

 private:
  std::string FLogFile;
  std::string FHeader;
  bool FLogTime = false;
  bool FLogDate = false;
  bool FLogSpecial = false;
  bool FLogHeader = false;
  std::string FSpecial;
  TNotifyEvent FOnClear;
};

}  // namespace kyt

#endif  // KYT_FILES_KYTTLOGFILE_H
