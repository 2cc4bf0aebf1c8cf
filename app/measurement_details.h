// The "Measurement details" window: a second top-level window, opened from the main window's system
// menu, that turns the recorder's newest 0.1 s into the core's complex permeability with its uncertainty
// (audio/analysis), calibrates the inputs against each other, and keeps and copies readings. It reads the
// core's dimensions from the torus panel's own fields and the tone's frequency from the tone chain.
#pragma once

class TClassChildPanel_324F104;
class TControl;
class TMeasurementWindow;

// The system menu item that opens the window; a multiple of 16 below the system's own commands.
constexpr unsigned kMeasurementDetailsCommand = 0x0F50;

// Adds the item to mainWindow's system menu. The window is made when the item is first chosen; closing
// it hides it and stops its analysis, and what was typed and the calibration stay for the next opening.
// Null when the system menu could not take the item.
TMeasurementWindow* AttachMeasurementDetails(TControl* mainWindow, TClassChildPanel_324F104* torusPanel);
// Frees the window and its state (after the message loop ended).
void FreeMeasurementDetails(TMeasurementWindow* details);
