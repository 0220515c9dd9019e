// KYTTWavePlayer: plays a wave sound file through the platform's simple sound call, in the
// background or to the end.
#ifndef KYT_SYSTEM_KYTTWAVEPLAYER_H
#define KYT_SYSTEM_KYTTWAVEPLAYER_H

#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"

namespace kyt {

class TKYTWavePlayer : public TKYTExecuteComponent {
  KYT_CLASS(TKYTWavePlayer, TKYTExecuteComponent)
 public:
  static void Publish(TPublisher<TKYTWavePlayer>& p) {
    // The wave file Execute plays.
    p.Property("WaveFile", &TKYTWavePlayer::WaveFile, &TKYTWavePlayer::SetWaveFile)
        .StoredIf([](const TKYTWavePlayer& c) { return !c.WaveFile().empty(); });
    // Plays in the background, Execute returning at once (true), or waits until the sound has
    // ended.
    p.Property("Asynchronously", &TKYTWavePlayer::Asynchronously, &TKYTWavePlayer::SetAsynchronously)
        .Default(true);
    // Fired when the system's sound call raises an error; a missing file only makes Execute
    // return false.
    p.Property("OnError", &TKYTWavePlayer::OnError, &TKYTWavePlayer::SetOnError);
  }

  using TKYTExecuteComponent::TKYTExecuteComponent;

  // Properties
  // The file Execute plays; not checked when set.
  const std::string& WaveFile() const { return FWaveFile; }
  void SetWaveFile(const std::string& value) { FWaveFile = value; }
  // Play in the background (the call returns at once; a later call replaces the sound) or
  // wait until the sound has finished.
  bool Asynchronously() const { return FAsynchronously; }
  void SetAsynchronously(bool value) { FAsynchronously = value; }

  // Events
  // Raised when the play call raises an exception.
  const TNotifyEvent& OnError() const { return FOnError; }
  void SetOnError(const TNotifyEvent& value) { FOnError = value; }

  // Methods
  // PlayWave(WaveFile, Asynchronously). The designer's execute test plays it there too.
  bool Execute() override;
  // PlayWave with the arguments given.
  bool Play(const std::string& fileName, bool asynchronously) { return PlayWave(fileName, asynchronously); }
  // False, without calling the platform, when no file of that name exists (a sound alias is
  // not a file); false when the platform could not play it or the call raised (OnError then);
  // true otherwise. The system's default sound never replaces a file that cannot be played.
  bool PlayWave(const std::string& fileName, bool asynchronously);

 private:
  std::string FWaveFile;
  bool FAsynchronously = true;
  TNotifyEvent FOnError;
};

}  // namespace kyt

#endif  // KYT_SYSTEM_KYTTWAVEPLAYER_H
