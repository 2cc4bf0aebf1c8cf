// The program entry: start-up, the information switch, then the main schematic built, started, run until
// the main window closes and destroyed, and the exit sequence.
#include <windows.h>

#include "app/main_schematic.h"
#include "app/measurement_details.h"
#include "app/version.h"
#include "app/torus_panel.h"
#include "audio/library/audio_library.h"
#include "elements/main_form.h"
#include "process/command_line.h"
#include "process/runtime_support.h"
#include "runtime/data.h"
#include "runtime/multi_element.h"
#include "toolkit/application.h"

namespace {

TClassMainForm_323C5E0* MainSchematic = nullptr;

constexpr char InformationText[] =
    "Coilprobe " COILPROBE_VERSION_TEXT "\nMeasures the relative permeability of a toroidal core with the sound card.";

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  StartRuntime();
  StartHook = &StartEvents;
  // The end of the Windows session ends the program at once; the audio library stops first, as at a normal end.
  SessionEndHook = [] {
    BASS_Free();
    Halt(0);
  };
  if (ParamStr(1) == RcString("/ih")) {
    MessageBoxA(nullptr, InformationText, "Coilprobe", MB_OK | MB_ICONINFORMATION);
    Halt(0);
  }
  MainSchematic = CreateMainSchematic();
  // Without its system menu item the program still measures; the second window is then not to be had.
  TMeasurementWindow* details =
      AttachMeasurementDetails(MainSchematic->MainForm->Control, TorusPanelOf(MainSchematic->TorusHost->Inner));
  StartApplication(MainFormVisible(MainSchematic));
  // The applet the main form created, not read through the form element: a close handled while the
  // start queue runs has already cleared the element's control, and the applet is still the window to run.
  Run(CreatedApplet);
  // Stop the audio library's threads first, so no callback runs on an element being destroyed.
  BASS_Free();
  FreeMeasurementDetails(details);
  DestroyMainSchematic(MainSchematic);
  MainSchematic = nullptr;
  Halt(0);
}
