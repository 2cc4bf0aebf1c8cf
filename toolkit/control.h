// TControl: the toolkit's one window object. The applet, forms and every child control (edits, labels,
// panels, image areas, the custom scroll bar) are TControl instances that differ by window class, styles,
// attached message handlers and an optional custom-data object. Also the control factories.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/color.h"
#include "toolkit/list.h"
#include "toolkit/obj.h"

class TCanvas;
class TControl;
class TGraphicTool;

// The message record passed along a control's hook chain; Result is what the window procedure answers.
struct TMsg {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT Result;
};

// What a mouse notification receives.
struct TMouseEventData {
  uint8_t Button;        // 1 left, 2 right, 3 middle; 0 for moves and the wheel
  uint8_t StopHandling;  // may be set by the notification
  int32_t Shift;         // the message's wParam (MK_ flags; the wheel delta in the high word), plus ssAlt
  int16_t X;             // client coordinates
  int16_t Y;
};

// Shift state bits of key notifications (ssAlt also in TMouseEventData::Shift).
enum : uint32_t { ssShift = 4, ssCtrl = 8, ssAlt = 0x20 };

// LookTabKeys bits: the key groups that move the focus out of a control.
enum : uint8_t { tkTab = 1, tkLeftRight = 2, tkUpDown = 4, tkPageUpDown = 8 };

// Toolkit messages: a WM_COMMAND reflected to the child control it came from. There is no message that
// frees a control: any program may post any message number to our windows, and a control goes only
// when its owner frees it.
enum : UINT {
  CM_COMMAND = 0xB005,
  CM_CTLCOLOR_OFFSET = 0xBC00,  // reflected WM_CTLCOLOR... = the message + this offset
  CM_DEFERRED_WORK = 0x8FFF,
};

// A hook reports true when it handled the message, which ends its dispatch.
using TMessageHook = TCallback<bool(TControl* sender, TMsg& msg)>;
using TOnEvent = TCallback<void(TControl* sender)>;
using TOnMouse = TCallback<void(TControl* sender, TMouseEventData& mouse)>;
// Setting key to 0 swallows the key.
using TOnKey = TCallback<void(TControl* sender, int32_t& key, uint32_t shift)>;
using TOnChar = TCallback<void(TControl* sender, char& key, uint32_t shift)>;
using TOnPaint = TCallback<void(TControl* sender, HDC dc)>;
// The form's dialog-key hook, called for the focused control with the key messages (never the character
// messages, whose codes are no key codes): notKeyDown is true for key-up and system-key messages. Returns
// whether the key is handled.
using TDialogKeyHook = TCallback<bool(TControl* focused, int32_t key, bool notKeyDown)>;
using TAfterMessage = TCallback<void(TControl* sender, TMsg& msg)>;
using TMouseInsideTest = TCallback<bool(TControl* sender)>;
using TChildChanged = TCallback<void(TControl* parent, TControl* child, bool added)>;
// The applet's pre-translation hook: true = the message is consumed before translation and dispatch.
using TPreTranslate = TCallback<bool(TControl* applet, MSG& msg)>;

// How a child control wrapping a system class maps notifications and alignment to styles.
struct TClassDescriptor {
  const char* SystemClass = nullptr;
  // Notification codes of the reflected WM_COMMAND; -1 = the class has none.
  int32_t ClickCode = -1;
  int32_t EnterCode = -1;
  int32_t LeaveCode = -1;
  int32_t ChangeCode = -1;
  // Text alignment: the style bits under AlignMask for left, right and centre.
  DWORD AlignMask = 0;
  DWORD AlignStyles[3] = {0, 0, 0};
  // Added to the text extent by AutoSize.
  int32_t AutoSizeExtraWidth = 0;
  int32_t AutoSizeExtraHeight = 0;
};

extern const TClassDescriptor EditClassDescriptor;
extern const TClassDescriptor StaticClassDescriptor;
extern const TClassDescriptor ButtonClassDescriptor;
extern const TClassDescriptor ListBoxClassDescriptor;

// Values of TControl::Align: a docked child takes a side of what the earlier docked children left free
// (with its own width or height); a client-aligned one takes the rest.
enum TAlign : uint8_t { alNone = 0, alLeft = 1, alTop = 2, alRight = 3, alBottom = 4, alClient = 5 };
// Text alignments of SetTextAlign.
enum : uint8_t { taLeft = 0, taRight = 1, taCenter = 2 };

class TControl : public TObj {
public:
  // --- Window
  HWND Handle = nullptr;
  UINT ClassStyle = CS_OWNDC;
  DWORD Style = WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW;  // 0x16CF0000
  DWORD ExStyle = WS_EX_CONTROLPARENT;
  std::string ClassName;
  // The system class's window procedure when the control wraps one (EDIT, STATIC), else null.
  WNDPROC PrevWndProc = nullptr;
  // The window procedure registered for the control's class.
  WNDPROC ClassWndProc = nullptr;
  // Menu handle of a top-level window or identifier of a child window.
  UINT_PTR MenuOrId = 0;
  TClassDescriptor Descriptor;

  // --- Tree
  TControl* Parent = nullptr;
  // Child controls (TControl*), in creation order. The children are not owned.
  TList* Children = nullptr;
  TChildChanged OnChildChanged;
  bool IsControl = false;  // a child control (not the applet or a form)
  bool IsApplet = false;
  bool IsForm = false;
  // The child (for the applet: the form) that last had the focus.
  TControl* CurrentControl = nullptr;
  // Forms: child controls made so far; numbers the TabOrder of new children.
  int32_t ChildCounter = 0;

  // --- Geometry (bounds in the parent's client coordinates; the window's own while it exists)
  RECT Bounds{0, 0, 0, 0};
  bool PositionGiven = false;
  // Docking inside the parent's client area: one of the TAlign values.
  uint8_t Align = 0;
  uint8_t WindowState = 0;  // 0 normal, 1 minimized, 2 maximized
  // The show command to apply when the minimized parent is restored; 0 = none.
  int32_t ShowCmdWhenRestored = 0;

  // --- Appearance
  int32_t Color = clDefaultBackground;  // background
  int32_t TextColor = clDefaultText;    // text, also the font's colour
  bool Ctl3D = true;
  uint8_t AlphaBlend = 255;
  HCURSOR Cursor = nullptr;
  // The big icon of a top-level window; (HICON)-1 = none. Destroyed with the control when IconOwned.
  HICON Icon = nullptr;
  bool IconOwned = false;
  // Painted over the parent: the parent's image is drawn under it and reflected colour messages answer a
  // transparent background.
  bool Transparent = false;
  // Set on a parent when a child becomes transparent: it repaints its children with itself.
  bool PaintsForChildren = false;
  // A parent that never paints for transparent children.
  bool NoChildPainting = false;

  // --- State
  bool Enabled = true;
  bool Visible = true;
  bool TabStop = false;
  int32_t TabOrder = 0;
  uint8_t LookTabKeys = 0;  // tk... bits
  bool Destroying = false;
  // Destroyed, or freed while one of its messages is handled: its window gets only default processing.
  bool BeingFreed() const { return Destroying || FreePending(); }
  // Raised while the toolkit itself moves the focus.
  int32_t Focusing = 0;
  bool MouseInside = false;
  // Painting of custom-drawn controls is skipped while it is above 0.
  int32_t UpdateCount = 0;
  // The device context of the WM_PAINT being handled, else 0.
  HDC PaintDC = nullptr;

  // --- Hooks
  TMessageHook OnMessage;  // the element's hook: runs before the attached handlers
  TMessageHook KeyHook;    // key messages while the control has the focus
  TMessageHook KindHook;   // the per-kind hook: runs after the attached handlers
  TDialogKeyHook DialogKeyHook;  // forms: keyboard navigation (EnableTabNavigation)
  TAfterMessage AfterMessage;
  TPreTranslate PreTranslate;  // applet: consulted by ProcessMessage
  TOnEvent OnCreateWindow;
  TOnEvent OnClose;  // once, on WM_CLOSE
  TMouseInsideTest MouseInsideTest;  // replaces the client-rectangle test of mouse enter/leave

  // --- Notifications
  TOnMouse OnMouseDown, OnMouseMove, OnMouseUp, OnMouseDblClk, OnMouseWheel;
  TOnKey OnKeyDown, OnKeyUp;
  TOnChar OnChar;
  TOnEvent OnMouseEnter, OnMouseLeave;
  TOnEvent OnClick;   // child controls: click notification of the wrapped class
  TOnEvent OnEnter;   // child controls: focus in
  TOnEvent OnLeave;   // child controls: focus out
  TOnEvent OnChange;  // child controls: text change
  TOnEvent OnShow, OnHide, OnResize;
  TOnPaint OnPaint;

  // Owned extra state of custom controls (scroll bar, panel), freed with the control.
  TObj* CustomData = nullptr;

  void Init() override;
  // Init, then the parent (added to its children) and the parent's Color.
  virtual void InitParented(TControl* parent);
  // Creates the window (parents first); false when it cannot be created.
  virtual bool CreateWnd();
  // The control's message handling: the hook chain, then its own handling by message.
  virtual void WndProc(TMsg& msg);

  // The window, created first when there is none; 0 when creation fails.
  HWND GetWindowHandle();
  // Default processing: the wrapped class's procedure, else DefWindowProcA.
  LRESULT Default(TMsg& msg);
  LRESULT Perform(UINT message, WPARAM wParam, LPARAM lParam);

  // Adds a message handler unless it is attached already. Handlers run from the last attached to the first.
  void AttachProc(TMessageHook handler);
  void DetachProc(TMessageHook handler);
  bool IsProcAttached(TMessageHook handler) const;

  // Geometry.
  void SetPosition(int left, int top);
  void SetSize(int width, int height);
  void SetBoundsRect(const RECT& bounds);
  RECT BoundsRect() const;
  int Left() const { return BoundsRect().left; }
  int Top() const { return BoundsRect().top; }
  int Width() const;
  int Height() const;
  RECT ClientRect() const;
  void SetAlign(uint8_t align);
  // Lays out the aligned children in the client area.
  void ReAlign();

  // Appearance and state.
  void SetColor(int32_t color);
  void SetTextColor(int32_t color);
  void SetCtl3D(bool on);
  void SetVisible(bool visible);
  void SetEnabled(bool enabled);
  void SetCursor(HCURSOR cursor);
  void SetCaption(const std::string& text);
  // Sets the caption at once when some of the window may show. A child window that cannot be seen keeps the
  // text and takes it just before it next handles a message: one that asks for its text, a paint once it
  // is revealed, or any other. Until then GetCaption answers the kept text.
  void SetCaptionWhenSeen(const std::string& text);
  std::string GetCaption() const;
  // False when no pixel of the window can show: it is hidden, or, as a child window, it lies wholly
  // outside its parent's client area, to which the system clips it. A failed query counts as seen.
  bool CanBeSeen() const;
  void SetStyle(DWORD style);
  void SetExStyle(DWORD exStyle);
  void SetAlphaBlend(uint8_t alpha);
  // The big icon; the previous one is destroyed when the control owned it. owned: destroy this one too.
  void SetIcon(HICON icon, bool owned = false);
  void SetTransparent(bool transparent);
  // 0 left, 1 right, 2 centre, through the descriptor's style bits.
  void SetTextAlign(uint8_t alignment);
  // Tab stop at position order: the tab candidates of the same form at order or above move up by one.
  void SetTabOrder(int32_t order);
  // The control follows the size of its text (plus the descriptor's extra) when text or font change.
  void SetAutoSize(bool on);
  // The whole client area is repainted at the next paint message, erased first unless eraseFirst is false
  // (for a paint that covers every pixel itself).
  void Invalidate(bool eraseFirst = true);

  // Font and brush, made on first use; changing them updates the window.
  TGraphicTool* GetFont();
  TGraphicTool* GetBrush();
  // The canvas drawing on the window (the paint context during WM_PAINT, else the window's context).
  TCanvas* GetCanvas();
  // Takes the canvas off its device context (after painting through it).
  void ReleaseCanvasHandle();

  // The top-level form (or applet) the control lives in.
  TControl* TopForm();
  // The main window: the applet's first form, or a parentless applet, or a parentless form without applet.
  bool IsMainWindow() const;
  // Visible itself and every ancestor up to its top-level form.
  bool VisibleInForm() const;

  // The control bound to a toolkit window, or null.
  static TControl* FromHandle(HWND wnd);

protected:
  ~TControl() override;

private:
  friend LRESULT CALLBACK ToolkitWindowProc(HWND, UINT, WPARAM, LPARAM);
  friend TControl* NewControl(TControl* parent, const char* className, bool ctl3d);

  bool DispatchHooks(TMsg& msg);
  bool EraseWithParentImage(TMsg& msg);
  bool RunAttachedHandlers(TMsg& msg);
  void HandleMessage(TMsg& msg);
  void HandleKey(TMsg& msg);
  void HandleClose(TMsg& msg);
  void HandleNcDestroy(TMsg& msg);
  void ForgetAsCurrent();
  bool PrepareClass(WNDCLASSA& wc, std::string& className);
  void AfterCreate();
  void ApplyBigIcon();
  void ApplyFont();
  void ApplyAlphaBlend();
  void ApplyAutoSize();
  void FontChanged(TGraphicTool* tool);
  void BrushChanged(TGraphicTool* tool);
  HDC CanvasHandle(TCanvas* canvas);

  std::vector<TMessageHook> handlers_;
  std::string caption_;
  // caption_ is still to be set in the window (SetCaptionWhenSeen).
  bool captionPending_ = false;
  TGraphicTool* font_ = nullptr;
  TGraphicTool* brush_ = nullptr;
  TCanvas* canvas_ = nullptr;
  HGDIOBJ appliedFont_ = nullptr;
  bool autoSize_ = false;
};

// A control of window class className (registered as "obj_" + className), parented when parent is given:
// it then takes the parent's per-kind hook, colours, and copies of its font and brush; Ctl3D is ctl3d
// only when the parent's is set.
TControl* NewControl(TControl* parent, const char* className, bool ctl3d);
// A child control wrapping a system class: style gains WS_CLIPSIBLINGS | WS_CLIPCHILDREN, the control is
// numbered in its form's tab order, takes a child identifier, and gets the common child-control handler.
TControl* NewChildControl(TControl* parent, const char* className, DWORD style, const TClassDescriptor& descriptor,
                          bool ctl3d);

// Option bits of NewEditBox.
enum : uint32_t {
  eoNoHScroll = 0x1,
  eoNoVScroll = 0x2,
  eoLowercase = 0x4,
  eoMultiline = 0x8,
  eoNoHideSel = 0x10,
  eoOemConvert = 0x20,
  eoPassword = 0x40,
  eoReadonly = 0x80,
  eoUpperCase = 0x100,
  eoWantReturn = 0x200,
  eoWantTab = 0x400,
  eoNumber = 0x800,
};
// An "EDIT" control, 100 x 22 (multi-line 200 x 200), a tab stop with Ctl3D.
TControl* NewEditBox(TControl* parent, uint32_t options);
// A "STATIC" text control of height 22 showing caption; no Ctl3D, not a tab stop.
TControl* NewLabel(TControl* parent, const std::string& caption);
// A standard "BUTTON" push button of 100 x 24 showing caption, a tab stop; its clicks reach OnClick.
TControl* NewButton(TControl* parent, const std::string& caption);
// A "LISTBOX" of 200 x 100 with a vertical scroll bar, its lines in the order added, a tab stop.
TControl* NewListBox(TControl* parent);
// Appends a line to a list box; false when the list could not take it.
bool AddListLine(TControl* list, const std::string& line);
// A "STATIC" container 100 x 100 with an edge: 0 WS_DLGFRAME, 1 SS_SUNKEN, 2 none.
TControl* NewPanelBase(TControl* parent, int edge);

// Global hooks of the window procedure: a key hook run before any control's, the cursor set for the whole
// screen (0 = none), suppression of cursor changes, the media notification hook and deferred work.
extern TMessageHook GlobalKeyHook;
extern HCURSOR ScreenCursor;
extern bool SuppressCursorChanges;
extern TMessageHook MediaNotifyHook;
extern TCallback<void()> DeferredWorkHook;

// The window procedure of every toolkit window class.
LRESULT CALLBACK ToolkitWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
