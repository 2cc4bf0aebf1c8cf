// A representative element network, built natively the way the schematics build theirs (elements on the
// heap, created in field order, configured and linked, destroyed in field order): a start hub opening the
// device, the tone stream with its player and the recorder in memory mode; the tone generator's event-
// from-data and math chain; a level meter standing in for the oscilloscope, whose levels run through
// hubs, a memory and the ratio maths into a multi-element; and the multi-element's inner network, which
// computes the permeability from dimensions shared through get-data elements. The audio elements run against
// the fake library. The test builds the network, runs values through it and tears it down; under
// Valgrind (make leakcheck) and AddressSanitizer that also shows that nothing leaks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "audio/device.h"
#include "audio/recorder.h"
#include "audio/stream_player.h"
#include "audio/tone_stream.h"
#include "runtime/convert.h"
#include "runtime/edit_multi.h"
#include "runtime/event_from_data.h"
#include "runtime/hub.h"
#include "runtime/math_element.h"
#include "runtime/memory_element.h"
#include "runtime/multi_element.h"
#include "tests/audio/fake_audio_library.h"
#include "tests/app/chains.h"
#include "tests/runtime/probes.h"
#include "tests/support/u_oracle.h"
#include "toolkit/stream.h"

namespace {

// A read-out: keeps the text of every value it is given, as an edit shows it.
struct TReadout {
  std::vector<RcString> Texts;
  void doText(TData& data, uint16_t) { Texts.push_back(ToString(data)); }
};

// Stands in for the oscilloscope: the level of each channel of a recorded stereo block, the sum of
// the absolute sample values divided by 100000, first channel first.
struct TLevelMeter {
  TZv_Event onLevelLeft;
  TZv_Event onLevelRight;
  void doData(TData& data, uint16_t) {
    auto* stream = static_cast<TStream*>(data.Object);
    std::vector<int16_t> samples(static_cast<size_t>(stream->Size()) / 2);
    stream->Read(samples.data(), samples.size() * 2);
    double left = 0, right = 0;
    for (size_t i = 0; i + 1 < samples.size(); i += 2) {
      left += std::abs(samples[i]);
      right += std::abs(samples[i + 1]);
    }
    FireReal(onLevelLeft, left / 100000);
    FireReal(onLevelRight, right / 100000);
  }
};

// The multi-element's factory: the torus panel's chain on the heap, with the dimensions of a larger core;
// the network frees it with the rest.
TZvEditMulti* BuildTorusPanel(TControl*) {
  auto* panel = new TTorusChain;
  panel->SetFields(25.4, 15.2, 9.5, 12);
  return &panel->TorusInterface;
}

// The main window's network without its windows.
struct TMainNetwork {
  TZvHub* HubStart;
  TZvBASS_Global* Device;
  TZvBASS_StreamSound* ToneStream;
  TZvBASS_StreamPlayer* Player;
  TZvBASS_Record* Recorder;
  TToneChain* Tone;
  TLevelMeter* Meter;
  TZvHub* HubLeft;
  TZvHub* HubRight;
  TZvMemory* LevelMemory;
  TZvMath* MathLevelRatio;
  TZvMath* MathInvert;
  TZvMultiElement* TorusHost;
  TReadout* LeftReadout;
  TReadout* RightReadout;
  TSink* Errors;

  TMainNetwork() {
    HubStart = new TZvHub;
    Device = new TZvBASS_Global;
    ToneStream = new TZvBASS_StreamSound;
    Player = new TZvBASS_StreamPlayer;
    Recorder = new TZvBASS_Record;
    Tone = new TToneChain(12000);
    Meter = new TLevelMeter;
    HubLeft = new TZvHub;
    HubRight = new TZvHub;
    LevelMemory = new TZvMemory;
    MathLevelRatio = new TZvMath;
    MathInvert = new TZvMath;
    TorusHost = new TZvMultiElement(nullptr);
    LeftReadout = new TReadout;
    RightReadout = new TReadout;
    Errors = new TSink;

    WireTorusHost(TorusHost, &BuildTorusPanel);
    WireInverse(MathInvert, MathLevelRatio, TorusHost);
    WireLevelRatio(MathLevelRatio, LevelMemory, MathInvert);
    WireRightHub(HubRight, MathLevelRatio, MakeEvent<&TReadout::doText>(RightReadout));
    WireLeftHub(HubLeft, LevelMemory, MakeEvent<&TReadout::doText>(LeftReadout));
    Meter->onLevelLeft = MakeEvent<&TZvHub::doEvent>(HubLeft);
    Meter->onLevelRight = MakeEvent<&TZvHub::doEvent>(HubRight);
    Recorder->Freq = 44100;
    Recorder->Channels = 1;
    Recorder->InMemory = true;
    Recorder->onData = MakeEvent<&TLevelMeter::doData>(Meter);
    Recorder->onError = Errors->Link();
    Player->Stream = MakeEvent<&TZvBASS_StreamSound::getStream>(ToneStream);
    Player->onError = Errors->Link();
    WireToneStream(ToneStream, &Tone->SampleSource, Errors->Link());
    Device->Freq = 44100;
    Device->onError = Errors->Link();
    HubStart->SetCount(6);
    HubStart->onEvent[0] = MakeEvent<&TZvBASS_Global::doInit>(Device);
    HubStart->onEvent[1] = MakeEvent<&TZvBASS_Global::doStart>(Device);
    HubStart->onEvent[2] = MakeEvent<&TZvBASS_StreamSound::doCreate>(ToneStream);
    HubStart->onEvent[3] = MakeEvent<&TZvBASS_StreamPlayer::doPlay>(Player);
    HubStart->onEvent[4] = MakeEvent<&TZvBASS_Record::doInit>(Recorder);
    HubStart->onEvent[5] = MakeEvent<&TZvBASS_Record::doStart>(Recorder);
  }

  // The inner network is the multi-element's; this test frees it with the rest.
  TTorusChain* Torus() const { return static_cast<TTorusChain*>(TorusHost->Inner->Owner); }

  ~TMainNetwork() {
    TTorusChain* torus = Torus();
    delete HubStart;
    delete Device;
    delete ToneStream;
    delete Player;
    delete Recorder;
    delete Tone;
    delete Meter;
    delete HubLeft;
    delete HubRight;
    delete LevelMemory;
    delete MathLevelRatio;
    delete MathInvert;
    delete TorusHost;
    delete LeftReadout;
    delete RightReadout;
    delete Errors;
    delete torus;
  }
};

// One recorded stereo block: a square wave of the given amplitude on each channel.
std::vector<uint8_t> StereoBlock(int16_t left, int16_t right, int frames) {
  std::vector<int16_t> samples;
  for (int i = 0; i < frames; ++i) {
    const int sign = i % 2 ? -1 : 1;
    samples.push_back(static_cast<int16_t>(sign * left));
    samples.push_back(static_cast<int16_t>(sign * right));
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(samples.data());
  return {bytes, bytes + samples.size() * 2};
}

TEST(ElementNetwork, BuildsRunsValuesThroughAndTearsDown) {
  Fake = {};
  auto* network = new TMainNetwork;
  StartEvents();
  FireNull(MakeEvent<&TZvHub::doEvent>(network->HubStart));
  ASSERT_NE(Fake.StreamProc, nullptr);
  ASSERT_NE(Fake.RecordProc, nullptr);

  // The playback thread pulls a block of tone samples through the generator chain; the scroll bar's
  // position is the amplitude.
  std::vector<int16_t> tone(2048);
  Fake.StreamProc(network->ToneStream->StreamHandle, tone.data(), static_cast<uint32_t>(tone.size() * 2),
                  Fake.StreamUser);
  int16_t loudest = 0;
  for (int16_t s : tone) loudest = std::max<int16_t>(loudest, static_cast<int16_t>(std::abs(s)));
  EXPECT_GT(loudest, 11000);
  EXPECT_LE(loudest, 12000);

  // The recording thread hands on blocks; each one's levels run through to the permeability.
  const int16_t lefts[] = {1000, 3000, 250};
  const int16_t rights[] = {2000, 1000, 5000};
  for (int i = 0; i < 3; ++i) {
    const std::vector<uint8_t> block = StereoBlock(lefts[i], rights[i], 256);
    EXPECT_EQ(Fake.RecordProc(block.data(), static_cast<uint32_t>(block.size()), Fake.RecordUser), 1);
  }
  StopEvents();

  EXPECT_TRUE(network->Errors->Received.empty());
  ASSERT_EQ(network->LeftReadout->Texts.size(), 3u);
  ASSERT_EQ(network->RightReadout->Texts.size(), 3u);
  const std::vector<TData>& results = network->Torus()->EditResult.Received;
  ASSERT_EQ(results.size(), 3u);
  const double D = 25.4, d = 15.2, H = 9.5, N = 12;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(network->LeftReadout->Texts[i], RealToStr(256.0 * lefts[i] / 100000));
    const double r = static_cast<double>(lefts[i]) / rights[i];
    const double u = ExpectedU(r, D, d, H, N);
    EXPECT_EQ(ToString(results[i]), IntToStr(static_cast<int32_t>(u))) << "u = " << u;
  }
  delete network;
}

}  // namespace
