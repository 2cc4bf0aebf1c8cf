// The main schematic's elements, their settings and links, in the generated schematics' order: the main
// form first and complete, then the other elements in field order, configured in reverse field order.
#include "app/main_schematic.h"

#include "app/schematic_support.h"
#include "app/torus_panel.h"
#include "audio/device.h"
#include "audio/oscilloscope.h"
#include "audio/recorder.h"
#include "audio/stream_player.h"
#include "audio/tone_stream.h"
#include "elements/edit.h"
#include "elements/image.h"
#include "elements/main_form.h"
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

enum : uint8_t { resultReal = 1 };

// The level read-outs: numbers in the small dialog font, "Edit" until the first measurement.
void ConfigureLevelEdit(TZvEdit* edit, int32_t top) {
  ConfigureEdit(edit, 390, top, 60, 20, "Edit", MakeFont("MS Sans Serif", 8, 0, clBlack, 1), vkReal);
}

void ConfigureErrorMessage(TZvMessage* message) {
  message->Message = RcString();
  message->Caption = RcString();
  message->Mode = 0;
  message->Icon = 0;
}

}  // namespace

TClassMainForm_323C5E0::TClassMainForm_323C5E0() {
  MainForm = new TZvMainForm;
  Place(MainForm, 21, 105, 480, 226, clButtonFace);
  MainForm->Font = MakeFont("Arial", 20, fsBold, clBlack, 1);
  MainForm->SetCaption("Coilprobe");
  MainForm->Align = 0;
  MainForm->AlphaBlend = 255;
  MainForm->SetBorderStyle(2);
  MainForm->WindowState = 0;
  MainForm->SetIcon(LoadIconA(GetModuleHandleA(nullptr), "ICON0"));
  MainForm->SetHiddenMode(0);
  MainForm->DragForm = 0;
  MainForm->Visible = 1;
  MainForm->Cursor = 0;
  MainForm->MouseCapture = 0;
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

  HubLeft->InCount = 1;
  HubLeft->SetCount(2);
  HubLeft->onEvent[0] = MakeEvent<&TZvMemory::doValue>(LevelMemory, 0);
  HubLeft->onEvent[1] = MakeEvent<&TZvEdit::doText>(EditLeftLevel, 0);

  HubRight->InCount = 1;
  HubRight->SetCount(2);
  HubRight->onEvent[0] = MakeEvent<&TZvMath::doOperation>(MathLevelRatio, 0);
  HubRight->onEvent[1] = MakeEvent<&TZvEdit::doText>(EditRightLevel, 0);

  SetMath(MathInvert, TZvMath::opDivide, 1.0, 0.0, resultReal);
  MathInvert->Op2Link = MakeEvent<&TZvMath::getResult>(MathLevelRatio, 0);
  MathInvert->onResult = MakeEvent<&TZvMultiElement::doWork>(TorusHost, 0);

  SetMath(MathLevelRatio, TZvMath::opDivide, 0.0, 0.0, resultReal);
  MathLevelRatio->Op2Link = MakeEvent<&TZvMemory::getValue>(LevelMemory, 0);
  MathLevelRatio->onResult = MakeEvent<&TZvMath::doOperation>(MathInvert, 0);

  Place(AmplitudeBar, 75, 465, 220, 10, clAppWorkspace);
  AmplitudeBar->Align = 0;
  AmplitudeBar->TabOrder = 0;
  AmplitudeBar->Hint = RcString();
  AmplitudeBar->Visible = 1;
  AmplitudeBar->Enabled = 1;
  AmplitudeBar->Cursor = 0;
  AmplitudeBar->HighlightColor = clButtonHighlight;
  AmplitudeBar->FaceColor = clButtonFace;
  AmplitudeBar->ShadowColor = clButtonShadow;
  AmplitudeBar->ArrowColor = clBlack;
  AmplitudeBar->SetMax(32767);
  AmplitudeBar->SetMin(0);
  AmplitudeBar->SetPosition(10000);
  AmplitudeBar->SetKind(0);
  AmplitudeBar->SetNotifyOnRelease(0);
  AmplitudeBar->Init();

  TorusHost->Mode = 0;
  TorusHost->SetFactory(&NewTorusPanel);

  ConfigureLevelEdit(EditRightLevel, 450);

  SetMath(MathAmplitude, TZvMath::opMultiply, 0.0, 32767.0, resultReal);
  MathAmplitude->Op2Link = MakeEvent<&TZvScrollBarEx::Position>(AmplitudeBar, 0);
  MathAmplitude->onResult = MakeEvent<&TZvEventFromData::doData>(SampleSource, 0);

  SetMath(MathPhase, TZvMath::opAdd, 0.0, 0.0, resultReal);
  MathPhase->Op2Link = MakeEvent<&TZvMath::getResult>(MathPhase, 0);
  MathPhase->onResult = MakeEvent<&TZvMath::doOperation>(MathPhaseScale, 0);

  SampleSource->onEvent = MakeEvent<&TZvMath::doOperation>(MathStep, 0);

  SetMath(MathSine, TZvMath::opSine, 0.0, 0.0, resultReal);
  MathSine->onResult = MakeEvent<&TZvMath::doOperation>(MathAmplitude, 0);

  SetMath(MathStep, TZvMath::opDivide, 10000.0, 44100.0, resultReal);
  MathStep->onResult = MakeEvent<&TZvMath::doOperation>(MathPhase, 0);

  Ticker->SetInterval(100);
  Ticker->SetEnable(true);
  Ticker->SetAutoStop(0);
  Ticker->onTimer = MakeEvent<&TZvHub::doEvent>(HubTick, 0);

  ToneStream->Freq = 44100;
  ToneStream->Data = MakeEvent<&TZvEventFromData::getValue>(SampleSource, 0);
  ToneStream->onError = MakeEvent<&TZvMessage::doMessage>(MsgStreamError, 0);

  ConfigureLevelEdit(EditLeftLevel, 485);

  Place(ScopeImage, 5, 5, 120, 125, clWhite);
  ScopeImage->Align = 0;
  ScopeImage->Hint = RcString();
  ScopeImage->Visible = 1;
  ScopeImage->Enabled = 1;
  ScopeImage->Cursor = 0;
  ScopeImage->MouseCapture = 0;
  ScopeImage->DrawProc = MakeMethod<&TZvImage::DrawProportional>(ScopeImage);
  ScopeImage->ViewStyle = 1;
  ScopeImage->FollowSize = 1;
  ScopeImage->Init();

  Player->Stream = MakeEvent<&TZvBASS_StreamSound::getStream>(ToneStream, 0);

  ConfigureErrorMessage(MsgStreamError);
  ConfigureErrorMessage(MsgDeviceError);

  Scope->BackColor = clBlack;
  Scope->Scale = 100;
  Scope->Color = clWhite;
  Scope->DrawMode = 0;
  Scope->Frames = 1;
  Scope->Clear = true;
  Scope->Bitmap = MakeEvent<&TZvImage::Bitmap>(ScopeImage, 0);
  Scope->onLevelLeft = MakeEvent<&TZvHub::doEvent>(HubLeft, 0);
  Scope->onLevelRight = MakeEvent<&TZvHub::doEvent>(HubRight, 0);

  Recorder->Freq = 44100;
  Recorder->Channels = 1;
  Recorder->FileName = RcString();
  Recorder->InMemory = false;

  SetMath(MathPhaseScale, TZvMath::opMultiply, 0.0, 3.1415, resultReal);
  MathPhaseScale->onResult = MakeEvent<&TZvMath::doOperation>(MathSine, 0);

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

TControl* MainSchematicApplet(const TClassMainForm_323C5E0*) { return TheApplet; }

void DestroyMainSchematic(TClassMainForm_323C5E0* schematic) { delete schematic; }
