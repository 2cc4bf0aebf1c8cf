// The main schematic: the element network of the main window. The program entry builds it, starts the
// application with it, runs the applet's loop until the main window closes, and destroys it.
#pragma once

class TClassMainForm_323C5E0;
class TControl;

// Builds the network; event delivery is still off, so no element reacts yet.
TClassMainForm_323C5E0* CreateMainSchematic();
// What the application start needs of the main form element: whether it starts visible.
bool MainFormVisible(const TClassMainForm_323C5E0* schematic);
// The applet the main form created, whose loop Run runs.
TControl* MainSchematicApplet(const TClassMainForm_323C5E0* schematic);
// Destroys every element and the schematic itself.
void DestroyMainSchematic(TClassMainForm_323C5E0* schematic);
