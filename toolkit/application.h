// The application loop and its global state: the applet (the hidden top-level window that owns the
// task-bar button and the forms), forms, the message pump, the start queue, orderly shutdown, and keyboard
// navigation between controls.
#pragma once
#include <windows.h>

#include "toolkit/control.h"
#include "toolkit/obj.h"

// The application window that is running; null outside Run.
extern TControl* Applet;
// True while Run loops.
extern bool AppletRunning;
// Set when WM_QUIT is seen or termination starts; ends the loop.
extern bool AppletTerminated;
// Set once an applet has been created (decides which window is the main window).
extern bool AppletInUse;
// The applet NewApplet created, from its creation until it is destroyed: also before and after Run,
// where Applet (the running one) is null.
extern TControl* CreatedApplet;
// Module instance used for window classes and resources.
extern HINSTANCE ModuleInstance;
// Called once per pass of Run's loop, after the pending messages; none by default.
extern TCallback<void()> IdleHook;
// The program entry's procedures for what the layers above the toolkit must do at the application's
// start and at the end of the Windows session; none by default.
using TApplicationHook = void (*)();
// Called by StartApplication before the start queue runs (the program switches event delivery on).
extern TApplicationHook StartHook;
// Called when Windows ends the session, after the applet is freed (the program ends the process through
// its exit sequence); without one the loop ends as after WM_QUIT.
extern TApplicationHook SessionEndHook;

// The applet: a popup with caption and system menu and a task-bar button, marked as the applet.
TControl* NewApplet(const char* caption);
// A form (window class "Form") owned by parent, or by the running applet when parent is null.
TControl* NewForm(TControl* parent, const char* caption);

// Runs the message loop of applet until the application terminates, then shuts down.
void Run(TControl* applet);
// Dispatches every pending message.
void ProcessMessages();
// Dispatches one pending message; false when there was none. WM_QUIT sets AppletTerminated; a window
// lifecycle message (creation or destruction), which only another program can have posted, is dropped.
bool ProcessMessage();
// Ends the loop and frees the applet (which destroys its window and the forms it owns).
void TerminateExecution();

// Called after the main schematic is built: the applet takes the main form's visibility, StartHook runs,
// and the start queue runs in order of registration.
void StartApplication(bool mainFormVisible);
// Appends a procedure to the start queue.
void RegisterStart(TCallback<void()> step);

// Installs Tab / arrow-key focus movement on a form (its dialog-key hook).
void EnableTabNavigation(TControl* form);
// Moves the focus within control's form to the next (direction +1) or previous (-1) tab candidate.
void MoveTabFocus(TControl* control, int direction);
