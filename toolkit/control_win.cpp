// TControl: construction and destruction, the control tree, geometry, alignment, and the property
// operations that store a value and apply it to the window when there is one.
#include "toolkit/control.h"

#include "toolkit/application.h"
#include "toolkit/canvas.h"
#include "toolkit/control_internal.h"
#include "toolkit/graphic_tool.h"

void TControl::Init() {
  TObj::Init();
  Children = NewList();
  ClassWndProc = &ToolkitWindowProc;
  AttachProc({&InputHandler, nullptr});
  AttachProc({&MouseEnterLeaveHandler, nullptr});
  AttachProc({&PaintHandler, nullptr});
}

void TControl::InitParented(TControl* parent) {
  Init();
  Parent = parent;
  if (parent) {
    parent->Children->Add(this);
    if (parent->OnChildChanged.Assigned()) parent->OnChildChanged(parent, this, true);
    Color = parent->Color;
  }
}

// True when c is control or lies inside it.
static bool IsWithin(const TControl* c, const TControl* control) {
  for (; c; c = c->Parent) {
    if (c == control) return true;
  }
  return false;
}

// The control and the children it orphans leave every form they live in: no form above it, and not the
// applet (whose current form may lie anywhere), keeps one of them as its current control.
void TControl::ForgetAsCurrent() {
  for (TControl* p = Parent; p; p = p->Parent) {
    if (IsWithin(p->CurrentControl, this)) p->CurrentControl = nullptr;
  }
  if (CreatedApplet && CreatedApplet != this && IsWithin(CreatedApplet->CurrentControl, this)) CreatedApplet->CurrentControl = nullptr;
}

TControl::~TControl() {
  Destroying = true;
  if (Handle) ShowWindow(Handle, SW_HIDE);
  ForgetAsCurrent();
  if (Parent) {
    Parent->Children->Remove(this);
    if (Parent->OnChildChanged.Assigned()) Parent->OnChildChanged(Parent, this, false);
  }
  if (CreatedApplet == this) CreatedApplet = nullptr;
  if (Applet == this) Applet = nullptr;
  if (canvas_) canvas_->Free();
  if (Handle && !(Style & WS_CHILD)) SendMessageA(Handle, WM_SETICON, ICON_BIG, 0);
  if (IconOwned) DestroyIcon(Icon);
  // The forms the applet owns go with its window and free themselves on the way; what remains of the
  // children outlives this control and forgets it.
  if (Handle) DestroyWindow(Handle);
  for (int32_t i = 0; i < Children->Count; ++i) static_cast<TControl*>(Children->Items[i])->Parent = nullptr;
  Children->Free();
  if (font_) font_->Free();
  if (brush_) brush_->Free();
  if (CustomData) CustomData->Free();
}

void TControl::AttachProc(TMessageHook handler) {
  if (!IsProcAttached(handler)) handlers_.push_back(handler);
}

void TControl::DetachProc(TMessageHook handler) {
  for (size_t i = 0; i < handlers_.size(); ++i) {
    if (handlers_[i] == handler) {
      handlers_.erase(handlers_.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
}

bool TControl::IsProcAttached(TMessageHook handler) const {
  for (const TMessageHook& h : handlers_) {
    if (h == handler) return true;
  }
  return false;
}

TControl* TControl::TopForm() {
  TControl* form = this;
  while (form->IsControl && form->Parent) form = form->Parent;
  return form;
}

bool TControl::IsMainWindow() const {
  if (IsControl) return false;
  if (!Parent) return IsApplet || !AppletInUse;
  return Parent->IsApplet && Parent->Children->Count > 0 && Parent->Children->Items[0] == this;
}

bool TControl::VisibleInForm() const {
  for (const TControl* c = this; c; c = c->Parent) {
    if (!c->Visible) return false;
    if (!c->IsControl) break;
  }
  return true;
}

// A window of a toolkit class keeps its control in the user data too (BindWindow), which is read within the
// process; the property lookup, which may cost a round trip to the system's window server, is left for the
// windows without that copy. The user data of windows of other classes is not ours to read.
TControl* TControl::FromHandle(HWND wnd) {
  if (!wnd) return nullptr;
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) == &ToolkitWindowProc) {
    if (auto* bound = reinterpret_cast<TControl*>(GetWindowLongPtrA(wnd, GWLP_USERDATA))) return bound;
  }
  return static_cast<TControl*>(GetPropA(wnd, SelfProperty));
}

LRESULT TControl::Perform(UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(GetWindowHandle(), message, wParam, lParam);
}

// --- Geometry

RECT TControl::BoundsRect() const {
  if (!Handle) return Bounds;
  RECT r;
  GetWindowRect(Handle, &r);
  HWND parent = (Style & WS_CHILD) ? GetParent(Handle) : nullptr;
  if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int TControl::Width() const {
  RECT r = BoundsRect();
  return r.right - r.left;
}

int TControl::Height() const {
  RECT r = BoundsRect();
  return r.bottom - r.top;
}

RECT TControl::ClientRect() const {
  RECT r{0, 0, 0, 0};
  if (Handle) {
    GetClientRect(Handle, &r);
  } else {
    r.right = Bounds.right - Bounds.left;
    r.bottom = Bounds.bottom - Bounds.top;
  }
  return r;
}

void TControl::SetBoundsRect(const RECT& bounds) {
  Bounds = bounds;
  if (Handle) {
    SetWindowPos(Handle, nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TControl::SetPosition(int left, int top) {
  RECT r = BoundsRect();
  PositionGiven = true;
  SetBoundsRect({left, top, left + (r.right - r.left), top + (r.bottom - r.top)});
}

void TControl::SetSize(int width, int height) {
  RECT r = BoundsRect();
  SetBoundsRect({r.left, r.top, r.left + width, r.top + height});
}

void TControl::SetAlign(uint8_t align) {
  Align = align;
  if (Parent) Parent->ReAlign();
}

// Docks the aligned children in child order: each takes a side of what the earlier ones left free (with its
// own width or height), and the client-aligned ones take the rest.
void TControl::ReAlign() {
  if (!Handle) return;
  RECT area = ClientRect();
  for (int32_t i = 0; i < Children->Count; ++i) {
    TControl* c = static_cast<TControl*>(Children->Items[i]);
    if (c->Align == alNone || !c->Visible) continue;
    int w = c->Width();
    int h = c->Height();
    RECT r = area;
    switch (c->Align) {
      case alLeft: r.right = r.left + w; area.left = r.right; break;
      case alTop: r.bottom = r.top + h; area.top = r.bottom; break;
      case alRight: r.left = r.right - w; area.right = r.left; break;
      case alBottom: r.top = r.bottom - h; area.bottom = r.top; break;
      default: break;  // alClient: the rest
    }
    c->SetBoundsRect(r);
  }
}

// --- Appearance and state

void TControl::SetColor(int32_t color) {
  Color = color;
  if (brush_) brush_->SetColor(color);
  Invalidate();
}

void TControl::SetTextColor(int32_t color) {
  TextColor = color;
  if (font_) font_->SetColor(color);
  Invalidate();
}

void TControl::SetCtl3D(bool on) {
  if (on == Ctl3D) return;
  Ctl3D = on;
  DWORD style = Style;
  DWORD exStyle = ExStyle;
  if (on) {
    exStyle |= WS_EX_CLIENTEDGE;
    style &= ~static_cast<DWORD>(WS_BORDER);
  } else if (exStyle & WS_EX_CLIENTEDGE) {
    // A control that had the sunken edge gets a thin border instead.
    exStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    style |= WS_BORDER;
  }
  SetStyle(style);
  SetExStyle(exStyle);
}

void TControl::SetVisible(bool visible) {
  Visible = visible;
  if (visible) {
    Style |= WS_VISIBLE;
  } else {
    Style &= ~static_cast<DWORD>(WS_VISIBLE);
  }
  if (Handle) ShowWindow(Handle, visible ? SW_SHOW : SW_HIDE);
}

void TControl::SetEnabled(bool enabled) {
  Enabled = enabled;
  if (Handle) EnableWindow(Handle, enabled);
}

void TControl::SetCursor(HCURSOR cursor) {
  Cursor = cursor;
  if (!Handle) return;
  POINT p;
  if (GetCursorPos(&p) && WindowFromPoint(p) == Handle) ::SetCursor(cursor);
}

void TControl::SetCaption(const std::string& text) {
  caption_ = text;
  captionPending_ = false;
  if (Handle) SetWindowTextA(Handle, text.c_str());
  ApplyAutoSize();
}

// An auto-sized control measures its text at once, and other programs read a top-level window's title
// without sending it a message (finding a window by its title, task lists): both take the text at once.
void TControl::SetCaptionWhenSeen(const std::string& text) {
  const bool child = Handle && (GetWindowLongA(Handle, GWL_STYLE) & WS_CHILD);
  if (!child || autoSize_ || CanBeSeen()) {
    SetCaption(text);
    return;
  }
  caption_ = text;
  captionPending_ = true;
}

bool TControl::CanBeSeen() const {
  if (!IsWindowVisible(Handle)) return false;
  if (!(GetWindowLongA(Handle, GWL_STYLE) & WS_CHILD)) return true;
  const HWND parent = GetParent(Handle);
  RECT window, client, overlap;
  POINT clientOrigin{0, 0};
  if (!parent || !GetWindowRect(Handle, &window) || !GetClientRect(parent, &client) ||
      !ClientToScreen(parent, &clientOrigin)) {
    return true;
  }
  OffsetRect(&client, clientOrigin.x, clientOrigin.y);
  return IntersectRect(&overlap, &window, &client) != FALSE;
}

std::string TControl::GetCaption() const {
  if (!Handle || captionPending_) return caption_;
  int length = GetWindowTextLengthA(Handle);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int got = GetWindowTextA(Handle, &text[0], length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

void TControl::SetStyle(DWORD style) {
  Style = style;
  Visible = (style & WS_VISIBLE) != 0;
  if (!Handle) return;
  SetWindowLongA(Handle, GWL_STYLE, static_cast<LONG>(style));
  SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TControl::SetExStyle(DWORD exStyle) {
  ExStyle = exStyle;
  if (!Handle) return;
  SetWindowLongA(Handle, GWL_EXSTYLE, static_cast<LONG>(exStyle));
  SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TControl::SetAlphaBlend(uint8_t alpha) {
  if (alpha == AlphaBlend) return;
  AlphaBlend = alpha;
  if (Handle) ApplyAlphaBlend();
}

void* LookUpFunction(const char* module, const char* name) {
  HMODULE lib = GetModuleHandleA(module);
  if (!lib) lib = LoadLibraryA(module);
  return lib ? reinterpret_cast<void*>(GetProcAddress(lib, name)) : nullptr;
}

void TControl::ApplyAlphaBlend() {
  using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  auto setLayered = reinterpret_cast<SetLayeredFn>(LookUpFunction("User32", "SetLayeredWindowAttributes"));
  if (!setLayered) return;
  if (AlphaBlend == 255) {
    SetExStyle(ExStyle & ~static_cast<DWORD>(WS_EX_LAYERED));
  } else {
    SetExStyle(ExStyle | WS_EX_LAYERED);
    setLayered(Handle, 0, AlphaBlend, LWA_ALPHA);
  }
}

void TControl::SetIcon(HICON icon, bool owned) {
  if (icon == Icon) {
    IconOwned = owned;
    return;
  }
  if (Handle && icon != reinterpret_cast<HICON>(-1)) {
    SendMessageA(Handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  }
  if (IconOwned && Icon && Icon != reinterpret_cast<HICON>(-1)) DestroyIcon(Icon);
  Icon = icon;
  IconOwned = owned;
}

void TControl::SetTransparent(bool transparent) {
  Transparent = transparent;
  if (transparent && Parent && !Parent->NoChildPainting) Parent->PaintsForChildren = true;
  Invalidate();
}

void TControl::SetTextAlign(uint8_t alignment) {
  if (alignment > 2) return;
  SetStyle((Style & ~Descriptor.AlignMask) | Descriptor.AlignStyles[alignment]);
  Invalidate();
}

void TControl::SetTabOrder(int32_t order) {
  TControl* form = TopForm();
  if (form != this) {
    TList* candidates = CollectTabCandidates(form);
    for (int32_t i = 0; i < candidates->Count; ++i) {
      TControl* c = static_cast<TControl*>(candidates->Items[i]);
      if (c != this && c->TabOrder >= order) ++c->TabOrder;
    }
    candidates->Free();
  }
  TabOrder = order;
  TabStop = true;
}

void TControl::SetAutoSize(bool on) {
  autoSize_ = on;
  ApplyAutoSize();
}

void TControl::ApplyAutoSize() {
  if (!autoSize_) return;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, GetFont()->GetHandle());
  std::string text = GetCaption();
  SIZE size{0, 0};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, previous);
  DeleteDC(dc);
  SetSize(size.cx + Descriptor.AutoSizeExtraWidth, size.cy + Descriptor.AutoSizeExtraHeight);
  if (Parent) Parent->ReAlign();
}

void TControl::Invalidate(bool eraseFirst) {
  if (!Handle) return;
  if (PaintsForChildren) {
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | (eraseFirst ? RDW_ERASE : 0) | RDW_ALLCHILDREN);
  } else {
    InvalidateRect(Handle, nullptr, eraseFirst ? TRUE : FALSE);
  }
}

// --- Font, brush, canvas

TGraphicTool* TControl::GetFont() {
  if (!font_) {
    font_ = NewFont();
    font_->SetColor(TextColor);
    font_->OnChange = MakeMethod<&TControl::FontChanged>(this);
  }
  return font_;
}

TGraphicTool* TControl::GetBrush() {
  if (!brush_) {
    brush_ = NewBrush();
    brush_->SetColor(Color);
    brush_->OnChange = MakeMethod<&TControl::BrushChanged>(this);
  }
  return brush_;
}

void TControl::FontChanged(TGraphicTool* tool) {
  TextColor = tool->Color();
  if (canvas_ && !Destroying) canvas_->OwnerFontChanged();
  if (Handle && !Destroying) {
    ApplyFont();
    ApplyAutoSize();
  }
}

void TControl::BrushChanged(TGraphicTool* tool) {
  Color = tool->Color();
  if (!Destroying) Invalidate();
}

// Hands the window its font (again when the font's GDI object was remade).
void TControl::ApplyFont() {
  if (!font_ || !Handle) return;
  HGDIOBJ font = font_->GetHandle();
  if (font == appliedFont_) return;
  appliedFont_ = font;
  SendMessageA(Handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

TCanvas* TControl::GetCanvas() {
  if (!canvas_) {
    canvas_ = NewCanvas();
    canvas_->OwnerControl = this;
    canvas_->OnGetHandle = MakeMethod<&TControl::CanvasHandle>(this);
  }
  return canvas_;
}

void TControl::ReleaseCanvasHandle() {
  if (canvas_) canvas_->SetHandle(nullptr);
}

HDC TControl::CanvasHandle(TCanvas*) {
  if (PaintDC) return PaintDC;
  HWND wnd = GetWindowHandle();
  return wnd ? GetDC(wnd) : nullptr;
}

// --- Factories

static int32_t nextChildId = 0x8000;

TControl* NewControl(TControl* parent, const char* className, bool ctl3d) {
  TControl* c = new TControl;
  c->InitParented(parent);
  c->ClassName = className ? className : "";
  c->Ctl3D = parent ? parent->Ctl3D && ctl3d : ctl3d;
  if (parent) {
    c->KindHook = parent->KindHook;
    c->TextColor = parent->TextColor;
    if (parent->font_) c->GetFont()->Assign(parent->font_);
    if (parent->brush_) c->GetBrush()->Assign(parent->brush_);
  }
  return c;
}

TControl* NewChildControl(TControl* parent, const char* className, DWORD style, const TClassDescriptor& descriptor,
                          bool ctl3d) {
  TControl* c = NewControl(parent, className, ctl3d);
  c->Descriptor = descriptor;
  c->IsControl = true;
  c->Style = style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  c->Visible = (style & WS_VISIBLE) != 0;
  c->TabStop = (style & WS_TABSTOP) != 0;
  TControl* form = c->TopForm();
  if (form != c) {
    c->TabOrder = ++form->ChildCounter;
    if (c->TabStop && !form->CurrentControl) form->CurrentControl = c;
  }
  if (parent) c->Cursor = parent->Cursor;
  c->LookTabKeys = tkTab | tkLeftRight | tkUpDown | tkPageUpDown;
  if (c->Ctl3D) {
    c->Style &= ~static_cast<DWORD>(WS_BORDER);
    c->ExStyle |= WS_EX_CLIENTEDGE;
  }
  c->MenuOrId = static_cast<UINT_PTR>(nextChildId++);
  c->AttachProc({&CommonChildHandler, nullptr});
  return c;
}

const TClassDescriptor EditClassDescriptor = {
    "EDIT", -1, EN_SETFOCUS, EN_KILLFOCUS, EN_CHANGE, ES_LEFT | ES_RIGHT | ES_CENTER, {ES_LEFT, ES_RIGHT, ES_CENTER},
    0, 0};

const TClassDescriptor StaticClassDescriptor = {
    "STATIC", STN_CLICKED, -1, -1, -1, SS_TYPEMASK, {SS_LEFTNOWORDWRAP, SS_RIGHT, SS_CENTER}, 1, 1};

const TClassDescriptor ButtonClassDescriptor = {
    "BUTTON", BN_CLICKED, BN_SETFOCUS, BN_KILLFOCUS, -1, BS_LEFT | BS_RIGHT | BS_CENTER, {BS_LEFT, BS_RIGHT, BS_CENTER},
    16, 8};

const TClassDescriptor ListBoxClassDescriptor = {"LISTBOX", -1, LBN_SETFOCUS, LBN_KILLFOCUS, LBN_SELCHANGE, 0,
                                                 {0, 0, 0}, 0, 0};

TControl* NewEditBox(TControl* parent, uint32_t options) {
  static const struct {
    uint32_t option;
    DWORD style;
  } optionStyles[] = {
      {eoLowercase, ES_LOWERCASE}, {eoMultiline, ES_MULTILINE}, {eoNoHideSel, ES_NOHIDESEL},
      {eoOemConvert, ES_OEMCONVERT}, {eoPassword, ES_PASSWORD}, {eoReadonly, ES_READONLY},
      {eoUpperCase, ES_UPPERCASE}, {eoWantReturn, ES_WANTRETURN}, {eoNumber, ES_NUMBER},
  };
  const bool multiline = (options & eoMultiline) != 0;
  DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP;
  if (!(options & eoNoHScroll)) style |= ES_AUTOHSCROLL | (multiline ? WS_HSCROLL : 0);
  if (!(options & eoNoVScroll)) style |= ES_AUTOVSCROLL | (multiline ? WS_VSCROLL : 0);
  for (const auto& o : optionStyles) {
    if (options & o.option) style |= o.style;
  }
  TControl* edit = NewChildControl(parent, "EDIT", style, EditClassDescriptor, true);
  if (multiline) {
    edit->SetSize(200, 200);
    edit->LookTabKeys = tkTab;
  } else {
    edit->SetSize(100, 22);
    edit->LookTabKeys = tkTab | tkUpDown | tkPageUpDown;
  }
  if (options & eoWantTab) edit->LookTabKeys &= static_cast<uint8_t>(~tkTab);
  return edit;
}

// The style of the toolkit's "STATIC" controls: visible children that report clicks, show "&" as it is
// and do not wrap their text (0x5000018C).
static constexpr DWORD kStaticStyle = WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | SS_LEFTNOWORDWRAP;

TControl* NewLabel(TControl* parent, const std::string& caption) {
  TControl* label = NewChildControl(parent, "STATIC", kStaticStyle, StaticClassDescriptor, false);
  label->SetCaption(caption);
  label->SetSize(0, 22);
  return label;
}

TControl* NewButton(TControl* parent, const std::string& caption) {
  constexpr DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
  TControl* button = NewChildControl(parent, "BUTTON", style, ButtonClassDescriptor, false);
  button->SetCaption(caption);
  button->SetSize(100, 24);
  button->LookTabKeys = tkTab | tkLeftRight | tkUpDown;
  return button;
}

// Lines stay in the order added (no LBS_SORT); the list keeps its height whatever the font's.
TControl* NewListBox(TControl* parent) {
  constexpr DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY |
                          LBS_NOINTEGRALHEIGHT;
  TControl* list = NewChildControl(parent, "LISTBOX", style, ListBoxClassDescriptor, true);
  list->SetSize(200, 100);
  list->LookTabKeys = tkTab;
  return list;
}

bool AddListLine(TControl* list, const std::string& line) {
  const LRESULT index = list->Perform(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  if (index == LB_ERR || index == LB_ERRSPACE) return false;
  list->Perform(LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
  return true;
}

TControl* NewPanelBase(TControl* parent, int edge) {
  static const DWORD edgeStyles[] = {WS_DLGFRAME, SS_SUNKEN, 0};
  DWORD style = kStaticStyle | edgeStyles[edge >= 0 && edge <= 2 ? edge : 2];
  TControl* panel = NewChildControl(parent, "STATIC", style, StaticClassDescriptor, false);
  panel->ExStyle |= WS_EX_CONTROLPARENT;
  panel->SetSize(100, 100);
  return panel;
}
