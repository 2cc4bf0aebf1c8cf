// The main schematic's elements, their settings and links, in the generated schematics' order: the main
// form first and complete, then the other elements in field order, configured in reverse field order.
// The network as it runs (the chains' elements are wired in tone_chain.cpp and level_chain.cpp):
//
//   MainForm onCreate -> HubStart -> AudioDevice doInit, doStart (44100 Hz)
//                                 -> HubTone -> ToneStream doCreate, Player doPlay
//                                 -> Recorder doInit, doStart (44100 Hz, stereo)
//   Ticker (100 ms) -> HubTick -> Scope doDraw (newest recorded frames into ScopeImage's bitmap)
//                              -> ScopeImage doRefresh
//   Scope onLevelLeft  L -> HubLeft  -> LevelMemory, EditLeftLevel
//   Scope onLevelRight R -> HubRight -> MathLevelRatio (R / L) -> MathInvert (L / R) -> TorusHost
//                                       -> torus panel -> u;  then EditRightLevel
//   every value ToneStream reads: SampleSource -> MathStep -> MathPhase -> MathPhaseScale -> MathSine
//                                 -> MathAmplitude (x AmplitudeBar's Position) -> SampleSource's value
//   errors: AudioDevice -> MsgDeviceError, ToneStream -> MsgStreamError
#include "app/main_schematic.h"

#include "app/level_chain.h"
#include "app/schematic_support.h"
#include "app/tone_chain.h"
#include "app/torus_panel.h"
#include "audio/device.h"
#include "audio/oscilloscope.h"
#include "audio/recorder.h"
#include "audio/stream_player.h"
#include "audio/tone_stream.h"
#include "elements/edit.h"
#include "elements/image.h"
#include "elements/main_form.h"
#include "elements/scroll_bar.h"
#include "elements/scroll_bar_ex.h"
#include "runtime/event_from_data.h"
#include "runtime/hub.h"
#include "runtime/math_element.h"
#include "runtime/memory_element.h"
#include "runtime/message_element.h"
#include "runtime/multi_element.h"
#include "runtime/timer_element.h"
#include "toolkit/application.h"
#include "toolkit/graphic_tool.h"

namespace {

// The level read-outs: numbers in the small dialog font, "Edit" until the first measurement.
void ConfigureLevelEdit(TZvEdit* edit, int32_t top) {
  ConfigureEdit(edit, 390, top, 60, 20, "Edit", MakeFont("MS Sans Serif", 8, 0, clBlack, 1), vkReal);
}

void ConfigureErrorMessage(TZvMessage* message) {
  message->Message = RcString();
  message->Caption = RcString();
  message->Mode = TZvMessage::mbOk;
  message->Icon = TZvMessage::miNone;
}

}  // namespace

TClassMainForm_323C5E0::TClassMainForm_323C5E0() {
  MainForm = new TZvMainForm;
  SetWin(MainForm,
         TWinArgs().At(21, 105, 480, 226).WithColor(clButtonFace).WithFont(MakeFont("Arial", 20, fsBold, clBlack, 1)));
  MainForm->SetCaption("Coilprobe");
  MainForm->AlphaBlend = 255;
  MainForm->SetBorderStyle(bsSizeable);
  MainForm->WindowState = wsNormal;
  MainForm->SetIcon(LoadIconA(GetModuleHandleA(nullptr), "ICON0"));
  MainForm->SetHiddenMode(hmOff);
  MainForm->DragForm = 0;
  MainForm->ClientSize = 0;
  MainForm->StateProc = MakeMethod<&TClassMainForm_323C5E0::IgnoreState>(this);
  MainForm->Init();
  TControl* window = MainForm->Control;

  HubStart = new TZvHub;
  AudioDevice = new TZvBASS_Global;
  HubTone = new TZvHub;
  HubTick = new TZvHub;
  MathPhaseScale = new TZvMath;
  Recorder = new TZvBASS_Record;
  Scope = new TZvBASS_ChlVisibleOcilloRec;
  MsgDeviceError = new TZvMessage;
  MsgStreamError = new TZvMessage;
  Player = new TZvBASS_StreamPlayer;
  ScopeImage = new TZvImage(window);
  EditLeftLevel = new TZvEdit(window);
  ToneStream = new TZvBASS_StreamSound;
  Ticker = new TZvTimer;
  MathStep = new TZvMath;
  MathSine = new TZvMath;
  SampleSource = new TZvEventFromData;
  MathPhase = new TZvMath;
  MathAmplitude = new TZvMath;
  EditRightLevel = new TZvEdit(window);
  TorusHost = new TZvMultiElement(window);
  AmplitudeBar = new TZvScrollBarEx(window);
  LevelMemory = new TZvMemory;
  MathLevelRatio = new TZvMath;
  MathInvert = new TZvMath;
  HubRight = new TZvHub;
  HubLeft = new TZvHub;

  WireLeftHub(HubLeft, LevelMemory, MakeEvent<&TZvEdit::doText>(EditLeftLevel, 0));
  WireRightHub(HubRight, MathLevelRatio, MakeEvent<&TZvEdit::doText>(EditRightLevel, 0));
  WireInverse(MathInvert, MathLevelRatio, TorusHost);
  WireLevelRatio(MathLevelRatio, LevelMemory, MathInvert);

  SetWin(AmplitudeBar, TWinArgs().At(75, 465, 220, 10).WithColor(clAppWorkspace));
  AmplitudeBar->TabOrder = 0;
  AmplitudeBar->HighlightColor = clButtonHighlight;
  AmplitudeBar->FaceColor = clButtonFace;
  AmplitudeBar->ShadowColor = clButtonShadow;
  AmplitudeBar->ArrowColor = clBlack;
  AmplitudeBar->SetMax(32767);
  AmplitudeBar->SetMin(0);
  AmplitudeBar->SetPosition(10000);
  AmplitudeBar->SetKind(sbHorizontal);
  AmplitudeBar->SetNotifyOnRelease(0);
  AmplitudeBar->Init();

  WireTorusHost(TorusHost, &NewTorusPanel);

  ConfigureLevelEdit(EditRightLevel, 450);

  WireAmplitude(MathAmplitude, MakeEvent<&TZvScrollBarEx::Position>(AmplitudeBar, 0), SampleSource);
  WirePhase(MathPhase, MathPhaseScale);
  WireSampleSource(SampleSource, MathStep);
  WireSine(MathSine, MathAmplitude);
  WireStep(MathStep, MathPhase);

  Ticker->SetInterval(100);
  Ticker->SetEnable(true);
  Ticker->SetAutoStop(0);
  Ticker->onTimer = MakeEvent<&TZvHub::doEvent>(HubTick, 0);

  WireToneStream(ToneStream, SampleSource, MakeEvent<&TZvMessage::doMessage>(MsgStreamError, 0));

  ConfigureLevelEdit(EditLeftLevel, 485);

  SetWin(ScopeImage, TWinArgs().At(5, 5, 120, 125).WithColor(clWhite));
  ScopeImage->DrawProc = MakeMethod<&TZvImage::DrawProportional>(ScopeImage);
  ScopeImage->ViewStyle = TZvImage::vsProportional;
  ScopeImage->FollowSize = 1;
  ScopeImage->Init();

  Player->Stream = MakeEvent<&TZvBASS_StreamSound::getStream>(ToneStream, 0);

  ConfigureErrorMessage(MsgStreamError);
  ConfigureErrorMessage(MsgDeviceError);

  Scope->BackColor = clBlack;
  Scope->Scale = 100;
  Scope->Color = clWhite;
  Scope->DrawMode = TZvBASS_ChlVisibleOcilloRec::dmLine;
  Scope->Frames = 1;
  Scope->Clear = true;
  Scope->Bitmap = MakeEvent<&TZvImage::Bitmap>(ScopeImage, 0);
  Scope->onLevelLeft = MakeEvent<&TZvHub::doEvent>(HubLeft, 0);
  Scope->onLevelRight = MakeEvent<&TZvHub::doEvent>(HubRight, 0);

  Recorder->Freq = 44100;
  Recorder->Channels = TZvBASS_Record::chStereo;
  Recorder->FileName = RcString();
  Recorder->InMemory = false;

  WirePhaseScale(MathPhaseScale, MathSine);

  HubTick->InCount = 1;
  HubTick->SetCount(4);
  HubTick->onEvent[0] = MakeEvent<&TZvBASS_ChlVisibleOcilloRec::doDraw>(Scope, 0);
  HubTick->onEvent[1] = MakeEvent<&TZvImage::doRefresh>(ScopeImage, 2);

  HubTone->InCount = 1;
  HubTone->SetCount(2);
  HubTone->onEvent[0] = MakeEvent<&TZvBASS_StreamSound::doCreate>(ToneStream, 0);
  HubTone->onEvent[1] = MakeEvent<&TZvBASS_StreamPlayer::doPlay>(Player, 0);

  AudioDevice->Device = 0;
  AudioDevice->Freq = 44100;
  AudioDevice->onError = MakeEvent<&TZvMessage::doMessage>(MsgDeviceError, 0);

  HubStart->InCount = 1;
  HubStart->SetCount(5);
  HubStart->onEvent[0] = MakeEvent<&TZvBASS_Global::doInit>(AudioDevice, 0);
  HubStart->onEvent[1] = MakeEvent<&TZvBASS_Global::doStart>(AudioDevice, 1);
  HubStart->onEvent[2] = MakeEvent<&TZvHub::doEvent>(HubTone, 0);
  HubStart->onEvent[3] = MakeEvent<&TZvBASS_Record::doInit>(Recorder, 0);
  HubStart->onEvent[4] = MakeEvent<&TZvBASS_Record::doStart>(Recorder, 2);

  MainForm->onCreate = MakeEvent<&TZvHub::doEvent>(HubStart, 0);
  EnableTabNavigation(window);
}

TClassMainForm_323C5E0::~TClassMainForm_323C5E0() {
  // The torus panel belongs to nobody in the network; it goes last, after the windows it lived in.
  TZvEditMulti* torusPanel = TorusHost->Inner;
  delete HubStart;
  delete AudioDevice;
  delete HubTone;
  delete HubTick;
  delete MathPhaseScale;
  delete Recorder;
  delete Scope;
  delete MsgDeviceError;
  delete MsgStreamError;
  delete Player;
  delete ScopeImage;
  delete EditLeftLevel;
  delete ToneStream;
  delete Ticker;
  delete MathStep;
  delete MathSine;
  delete SampleSource;
  delete MathPhase;
  delete MathAmplitude;
  delete EditRightLevel;
  delete TorusHost;
  delete AmplitudeBar;
  delete LevelMemory;
  delete MathLevelRatio;
  delete MathInvert;
  delete HubRight;
  delete HubLeft;
  delete MainForm;
  FreeTorusPanel(torusPanel);
}

TClassMainForm_323C5E0* CreateMainSchematic() { return new TClassMainForm_323C5E0; }

bool MainFormVisible(const TClassMainForm_323C5E0* schematic) { return schematic->MainForm->Visible != 0; }

void DestroyMainSchematic(TClassMainForm_323C5E0* schematic) { delete schematic; }
