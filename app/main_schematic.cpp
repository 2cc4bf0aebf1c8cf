// The main schematic as far as its elements exist: the applet and the main window "Coilprobe" at the main
// form's place and size.
#include "app/main_schematic.h"

#include "toolkit/application.h"
#include "toolkit/control.h"

class TClassMainForm_323C5E0 {
public:
  TControl* Applet = nullptr;
  TControl* MainForm = nullptr;
};

TClassMainForm_323C5E0* CreateMainSchematic() {
  auto* schematic = new TClassMainForm_323C5E0;
  schematic->Applet = NewApplet("Coilprobe");
  schematic->MainForm = NewForm(schematic->Applet, "Coilprobe");
  schematic->MainForm->SetPosition(21, 105);
  schematic->MainForm->SetSize(480, 226);
  schematic->MainForm->GetWindowHandle();
  return schematic;
}

bool MainFormVisible(const TClassMainForm_323C5E0* schematic) { return schematic->MainForm->Visible; }

TControl* MainSchematicApplet(const TClassMainForm_323C5E0* schematic) { return schematic->Applet; }

// The applet is gone with the loop; its window took the form's window along, and the form control is
// freed here.
void DestroyMainSchematic(TClassMainForm_323C5E0* schematic) {
  schematic->MainForm->Free();
  delete schematic;
}
