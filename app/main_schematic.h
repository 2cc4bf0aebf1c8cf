// The main schematic: the instrument's element network. It owns the main window, the audio device, the
// tone generator whose samples a chain of math elements computes, the recorder, the oscilloscope with its
// picture, the level read-outs, the amplitude bar and the multi-element holding the torus panel.
#pragma once
#include <cstdint>

class TZvBASS_ChlVisibleOcilloRec;
class TZvBASS_Global;
class TZvBASS_Record;
class TZvBASS_StreamPlayer;
class TZvBASS_StreamSound;
class TZvEdit;
class TZvEventFromData;
class TZvHub;
class TZvImage;
class TZvMainForm;
class TZvMath;
class TZvMemory;
class TZvMessage;
class TZvMultiElement;
class TZvScrollBarEx;
class TZvTimer;

class TClassMainForm_323C5E0 {
public:
  // Builds, configures and wires every element; event delivery is still off, so nothing reacts yet.
  TClassMainForm_323C5E0();
  // Destroys the elements from HubStart to HubLeft, then MainForm, then the torus panel.
  virtual ~TClassMainForm_323C5E0();
  TClassMainForm_323C5E0(const TClassMainForm_323C5E0&) = delete;
  TClassMainForm_323C5E0& operator=(const TClassMainForm_323C5E0&) = delete;

  TZvMainForm* MainForm;
  TZvHub* HubStart;
  TZvBASS_Global* AudioDevice;
  TZvHub* HubTone;
  TZvHub* HubTick;
  TZvMath* MathPhaseScale;
  TZvBASS_Record* Recorder;
  TZvBASS_ChlVisibleOcilloRec* Scope;
  TZvMessage* MsgDeviceError;
  TZvMessage* MsgStreamError;
  TZvBASS_StreamPlayer* Player;
  TZvImage* ScopeImage;
  TZvEdit* EditLeftLevel;
  TZvBASS_StreamSound* ToneStream;
  TZvTimer* Ticker;
  TZvMath* MathStep;
  TZvMath* MathSine;
  TZvEventFromData* SampleSource;
  TZvMath* MathPhase;
  TZvMath* MathAmplitude;
  TZvEdit* EditRightLevel;
  TZvMultiElement* TorusHost;
  TZvScrollBarEx* AmplitudeBar;
  TZvMemory* LevelMemory;
  TZvMath* MathLevelRatio;
  TZvMath* MathInvert;
  TZvHub* HubRight;
  TZvHub* HubLeft;

private:
  // The main form's state procedure: nothing to do on first show or close.
  void IgnoreState(int32_t) {}
};

// The program entry's view of the schematic.
TClassMainForm_323C5E0* CreateMainSchematic();
// Whether the main form starts visible (what the application start needs of it).
bool MainFormVisible(const TClassMainForm_323C5E0* schematic);
void DestroyMainSchematic(TClassMainForm_323C5E0* schematic);
