// Tests of the wave player. Without an audio device (as under Wine) background playback succeeds
// and playing to the end fails at once; both are tested through the real call, and a successful
// play to the end through the seam.
#include "system/KYTTWavePlayer.h"

#include <gtest/gtest.h>


#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/MediaFiles.h"
#include "tests/support/SeamOverride.h"
#include "tests/system/SystemTestSupport.h"

namespace kyt {
namespace {

struct TPlayCall {
  std::string Name;
  UINT Flags;
  BOOL Result;
};
std::vector<TPlayCall>* gPlays = nullptr;

// Passes the call on to the platform and records what it said.
BOOL WINAPI RecordingPlay(LPCSTR name, UINT flags) {
  const BOOL result = ::sndPlaySoundA(name, flags);
  gPlays->push_back({name ? name : "", flags, result});
  return result;
}
BOOL WINAPI SucceedingPlay(LPCSTR name, UINT flags) {
  gPlays->push_back({name ? name : "", flags, TRUE});
  return TRUE;
}
BOOL WINAPI ThrowingPlay(LPCSTR, UINT) { throw std::runtime_error("the sound driver failed"); }

struct TErrorLog {
  std::vector<TObject*> Senders;
  void Error(TObject* sender) { Senders.push_back(sender); }
};

class WavePlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    gPlays = &plays;
    wave = sandbox.File("tone.wav");
    ASSERT_TRUE(WriteWaveFile(wave, 50));
  }
  void TearDown() override {
    ::sndPlaySoundA(nullptr, 0);  // stops a sound still playing in the background
    gPlays = nullptr;
  }

  TSandbox sandbox;
  std::string wave;
  std::vector<TPlayCall> plays;
  TComponent owner{nullptr};
};

TEST_F(WavePlayer, ANewPlayerPlaysInTheBackgroundAndHasNothingToPlay) {
  os::ScopedOverride record(os::winmm.sndPlaySoundA, &RecordingPlay);
  TKYTWavePlayer player(&owner);
  EXPECT_TRUE(player.Asynchronously());
  EXPECT_EQ(player.WaveFile(), "");
  EXPECT_FALSE(player.Execute());
  EXPECT_TRUE(plays.empty());
}

TEST_F(WavePlayer, BackgroundPlayPassesAsyncAndNoDefaultAndReturnsAtOnce) {
  os::ScopedOverride record(os::winmm.sndPlaySoundA, &RecordingPlay);
  TKYTWavePlayer player(&owner);
  player.SetWaveFile(wave);
  EXPECT_TRUE(player.Execute());
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0].Name, wave);
  EXPECT_EQ(plays[0].Flags, static_cast<UINT>(SND_ASYNC | SND_NODEFAULT));
  EXPECT_TRUE(plays[0].Result);
}

TEST_F(WavePlayer, PlayingToTheEndReportsWhatThePlatformSaid) {
  os::ScopedOverride record(os::winmm.sndPlaySoundA, &RecordingPlay);
  TKYTWavePlayer player(&owner);
  const bool played = player.Play(wave, false);
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0].Flags, static_cast<UINT>(SND_NODEFAULT));
  // Without an audio device the platform cannot play it: false, not a silent success.
  EXPECT_EQ(played, plays[0].Result != FALSE);
}

TEST_F(WavePlayer, APlayToTheEndThatSucceedsReturnsTrue) {
  os::ScopedOverride succeed(os::winmm.sndPlaySoundA, &SucceedingPlay);
  TKYTWavePlayer player(&owner);
  player.SetAsynchronously(false);
  player.SetWaveFile(wave);
  EXPECT_TRUE(player.Execute());
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0].Flags, static_cast<UINT>(SND_NODEFAULT));
}

TEST_F(WavePlayer, ANameThatIsNoFileIsNotPassedOn) {
  os::ScopedOverride record(os::winmm.sndPlaySoundA, &RecordingPlay);
  TKYTWavePlayer player(&owner);
  EXPECT_FALSE(player.Play("SystemAsterisk", true));
  EXPECT_FALSE(player.Play(sandbox.File("missing.wav"), false));
  EXPECT_FALSE(player.Play(sandbox.Path(), true));  // a folder is no file
  EXPECT_TRUE(plays.empty());
}

TEST_F(WavePlayer, AFailingCallRaisesOnErrorAndReturnsFalse) {
  os::ScopedOverride fail(os::winmm.sndPlaySoundA, &ThrowingPlay);
  TKYTWavePlayer player(&owner);
  player.SetWaveFile(wave);
  EXPECT_FALSE(player.Execute());  // no handler: nothing more
  TErrorLog errors;
  player.SetOnError(TNotifyEvent::Bind<&TErrorLog::Error>(&errors));
  EXPECT_FALSE(player.Execute());
  EXPECT_EQ(errors.Senders, std::vector<TObject*>{&player});
}

TEST_F(WavePlayer, FormFileStoresTheFileAndTheWaitingChoice) {
  RegisterClasses({&TSystemTestForm::StaticClass(), &TKYTWavePlayer::StaticClass()});
  TSystemTestForm root(nullptr);
  root.SetDesigning(true);
  (new TKYTWavePlayer(&root))->SetName("Plain");
  auto* set = new TKYTWavePlayer(&root);
  set->SetName("Set");
  set->SetWaveFile("sounds\\ding.wav");  // not checked when set
  set->SetAsynchronously(false);
  const std::string text = FormText(root);
  const size_t plainAt = text.find("object Plain"), setAt = text.find("object Set");
  EXPECT_EQ(text.substr(plainAt, setAt - plainAt).find("WaveFile"), std::string::npos) << text;
  EXPECT_EQ(text.substr(plainAt, setAt - plainAt).find("Asynchronously"), std::string::npos) << text;
  EXPECT_NE(text.find("WaveFile = 'sounds\\ding.wav'"), std::string::npos) << text;
  EXPECT_NE(text.find("Asynchronously = False"), std::string::npos) << text;
  TSystemTestForm loaded(nullptr);
  ReadFormText(loaded, text);
  auto* back = ObjectCast<TKYTWavePlayer>(loaded.FindComponent("Set"));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->WaveFile(), "sounds\\ding.wav");
  EXPECT_FALSE(back->Asynchronously());
}

}  // namespace
}  // namespace kyt
