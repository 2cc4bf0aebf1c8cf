// The custom scroll bar control: layout, painting, mouse handling and auto-repeat (see scroll_bar.h).
#include "elements/scroll_bar.h"

#include <algorithm>

#include "runtime/convert.h"
#include "toolkit/canvas.h"
#include "toolkit/color.h"
#include "toolkit/edge_frame.h"
#include "toolkit/graphic_tool.h"
#include "toolkit/timer.h"

static constexpr UINT kFirstRepeat = 500;  // ms from the press to the first repeated step
static constexpr UINT kNextRepeats = 50;   // ms between the later steps

TScrollBarData* ScrollBarData(TControl* scrollBar) { return static_cast<TScrollBarData*>(scrollBar->CustomData); }

// The message handler of the scroll bar: left-button presses, drags and releases.
struct ScrollBarInput {
  static bool Handle(void* object, TControl* control, TMsg& msg);
  static void Down(TScrollBarData* d, int x, int y);
  static void Move(TScrollBarData* d, int x, int y);
  static void Up(TScrollBarData* d);
  // The repeat timer: the first repeat comes 500 ms after the press, the later ones every 50 ms.
  static void Tick(void* object, TTimer* timer);
  static void Paint(void* object, TControl* control, HDC dc);
};

TScrollBarData::TScrollBarData(TControl* control) : Control(control) {}

TScrollBarData::~TScrollBarData() {
  if (RepeatTimer) RepeatTimer->Free();
}

int TScrollBarData::Length() const {
  const RECT client = Control->ClientRect();
  return Horizontal() ? client.right : client.bottom;
}

int TScrollBarData::Breadth() const {
  const RECT client = Control->ClientRect();
  return Horizontal() ? client.bottom : client.right;
}

// A stretch of the bar from `from` to `to` along it, across its whole breadth.
static RECT Along(uint8_t kind, int from, int to, int breadth) {
  return kind == sbHorizontal ? RECT{from, 0, to, breadth} : RECT{0, from, breadth, to};
}

RECT TScrollBarData::TrackRect() const {
  return Along(Kind, kScrollButton, Length() - kScrollButton, Breadth());
}

RECT TScrollBarData::ButtonRect(uint8_t button) const {
  const int length = Length();
  return button == sbDecrease ? Along(Kind, 0, kScrollButton, Breadth())
                              : Along(Kind, length - kScrollButton, length, Breadth());
}

RECT TScrollBarData::ThumbRect(double scale) const {
  const int t = ThumbOffset(scale);
  return Along(Kind, t, t + kScrollThumb, Breadth());
}

double TScrollBarData::CurrentScale() const {
  if (Max == Min) return 1.0;
  return static_cast<double>(Length() - 2 * kScrollButton - kScrollThumb) / (Max - Min);
}

int TScrollBarData::ThumbOffset(double scale) const {
  return Round(static_cast<long double>(scale) * (GetBarPosition() - Min)) + kScrollButton;
}

void TScrollBarData::SetMax(int32_t value) {
  Max = value;
  if (value < GetBarPosition()) Position.store(value, std::memory_order_relaxed);
  if (Control) Control->Invalidate();
}

void TScrollBarData::SetMin(int32_t value) {
  Min = value;
  if (GetBarPosition() < value) Position.store(value, std::memory_order_relaxed);
  if (Control) Control->Invalidate();
}

void TScrollBarData::SetKind(uint8_t kind) {
  Kind = kind;
  if (Control) Control->Invalidate();
}

void TScrollBarData::SetBarPosition(int32_t value) {
  const int32_t old = GetBarPosition();
  const int32_t clamped = std::max(std::min(value, Max), Min);
  Position.store(clamped, std::memory_order_relaxed);
  if (old == value) return;
  if (Control && Control->Handle) {
    const RECT track = TrackRect();
    InvalidateRect(Control->Handle, &track, FALSE);
  }
  if (NotifyOnRelease != 1 && OnScroll.Assigned()) OnScroll(clamped);
}

void TScrollBarData::Step(uint8_t button) {
  const int32_t position = GetBarPosition();
  if (button == sbDecrease) {
    SetBarPosition(std::max(position - 1, Min));
  } else {
    SetBarPosition(std::min(position + 1, Max));
  }
}

void ScrollBarInput::Tick(void* object, TTimer* timer) {
  TScrollBarData* d = static_cast<TScrollBarData*>(object);
  timer->SetInterval(kNextRepeats);
  d->Step(d->Pressed == sbDecrease ? sbDecrease : sbIncrease);
}

// Keeps the cursor within r (client coordinates of the control).
static void ConfineCursor(HWND wnd, RECT r) {
  POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
  ClientToScreen(wnd, &corners[0]);
  ClientToScreen(wnd, &corners[1]);
  const RECT screen{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  ClipCursor(&screen);
}

void ScrollBarInput::Down(TScrollBarData* d, int x, int y) {
  TControl* c = d->Control;
  const int along = d->Horizontal() ? x : y;
  const int size = d->Horizontal() ? c->Width() : c->Height();
  if (along < kScrollButton || along > size - kScrollButton) {
    const uint8_t button = along < kScrollButton ? sbDecrease : sbIncrease;
    d->Pressed = button;
    d->RepeatTimer->SetInterval(kFirstRepeat);
    d->RepeatTimer->SetEnabled(true);
    d->Step(button);
    ConfineCursor(c->Handle, d->ButtonRect(button));
    const RECT pressed = d->ButtonRect(button);
    InvalidateRect(c->Handle, &pressed, FALSE);
    return;
  }
  const int t = d->ThumbOffset(d->Scale);
  d->GrabX = x - t;
  d->GrabY = y - t;
  d->Dragging = t <= along && along <= t + kScrollThumb;
  ConfineCursor(c->Handle, d->TrackRect());
}

// A bar too short for the thumb to travel (scale 0 or below) keeps its position: the drag has no pixels
// to map to values, and dividing by the scale would trap.
void ScrollBarInput::Move(TScrollBarData* d, int x, int y) {
  if (!d->Dragging || d->Scale <= 0) return;
  const int along = d->Horizontal() ? x : y;
  const int grab = d->Horizontal() ? d->GrabX : d->GrabY;
  const int32_t n = Round((along - kScrollButton - grab) / static_cast<long double>(d->Scale));
  d->SetBarPosition(d->Min + std::max(0, std::min(n, d->Max - d->Min)));
}

void ScrollBarInput::Up(TScrollBarData* d) {
  ClipCursor(nullptr);
  d->Dragging = false;
  d->RepeatTimer->SetEnabled(false);
  d->Pressed = sbNone;
  if (d->NotifyOnRelease == 1 && d->OnScroll.Assigned()) d->OnScroll(d->GetBarPosition());
  d->Control->Invalidate();
}

bool ScrollBarInput::Handle(void* object, TControl*, TMsg& msg) {
  TScrollBarData* d = static_cast<TScrollBarData*>(object);
  const int x = static_cast<int16_t>(LOWORD(msg.lParam));
  const int y = static_cast<int16_t>(HIWORD(msg.lParam));
  switch (msg.message) {
    case WM_LBUTTONDOWN: Down(d, x, y); break;
    case WM_MOUSEMOVE: Move(d, x, y); break;
    case WM_LBUTTONUP: Up(d); break;
    default: break;
  }
  return false;
}

// Where to draw glyph so that its inked part sits in the middle of r, whatever the font's metrics: the
// glyph's black box comes from the font's outline metrics (its advance cell when the font has no
// outlines), measured from the text origin at the top left of the character cell.
static POINT CentredGlyphOrigin(HDC dc, char glyph, const RECT& r) {
  static const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  TEXTMETRICA metrics;
  GLYPHMETRICS ink;
  int left = 0, top = 0, width, height;
  if (GetTextMetricsA(dc, &metrics) &&
      GetGlyphOutlineA(dc, static_cast<unsigned char>(glyph), GGO_METRICS, &ink, 0, nullptr, &identity) != GDI_ERROR) {
    left = ink.gmptGlyphOrigin.x;
    top = metrics.tmAscent - ink.gmptGlyphOrigin.y;
    width = static_cast<int>(ink.gmBlackBoxX);
    height = static_cast<int>(ink.gmBlackBoxY);
  } else {
    SIZE cell{0, 0};
    GetTextExtentPoint32A(dc, &glyph, 1, &cell);
    width = cell.cx;
    height = cell.cy;
  }
  return {r.left + (r.right - r.left - width) / 2 - left, r.top + (r.bottom - r.top - height) / 2 - top};
}

void ScrollBarInput::Paint(void* object, TControl* c, HDC) {
  TScrollBarData* d = static_cast<TScrollBarData*>(object);
  if (c->UpdateCount > 0) return;
  d->Scale = d->CurrentScale();
  TCanvas* canvas = c->GetCanvas();
  TGraphicTool* brush = canvas->Brush();
  TGraphicTool* pen = canvas->Pen();
  brush->SetBrushStyle(bsSolid);
  brush->SetColor(c->Color);
  pen->SetColor(c->Color);
  const RECT track = d->TrackRect();
  canvas->Rectangle(track.left, track.top, track.right, track.bottom);

  pen->SetColor(d->FaceColor);
  TGraphicTool* font = canvas->Font();
  font->SetFontName("Webdings");
  font->SetColor(d->ArrowColor);
  if (d->Horizontal()) font->SetFontCharset(1);
  for (uint8_t button : {sbDecrease, sbIncrease}) {
    const bool pressed = d->Pressed == button;
    const RECT r = d->ButtonRect(button);
    brush->SetBrushStyle(bsSolid);
    canvas->Rectangle(r.left, r.top, r.right, r.bottom);
    DrawEdgeFrame(canvas->Handle(), r, pressed ? d->ShadowColor : clButtonHighlight,
                  pressed ? d->HighlightColor : clButtonShadow);
    // Webdings 3 and 4 are the left and right arrows, 5 and 6 up and down.
    const char glyph = d->Horizontal() ? (button == sbDecrease ? '3' : '4') : (button == sbDecrease ? '5' : '6');
    brush->SetBrushStyle(bsClear);
    if (!canvas->RequiredState(csHandleValid | csBrushValid | csFontValid | csChangeNotify)) continue;
    HDC dc = canvas->Handle();
    POINT at = CentredGlyphOrigin(dc, glyph, r);
    const int shift = pressed ? 1 : 0;
    const RECT inside{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    ExtTextOutA(dc, at.x + shift, at.y + shift, ETO_CLIPPED, &inside, &glyph, 1, nullptr);
  }
  brush->SetBrushStyle(bsSolid);
  const RECT thumb = d->ThumbRect(d->Scale);
  canvas->Rectangle(thumb.left, thumb.top, thumb.right, thumb.bottom);
  DrawEdgeFrame(canvas->Handle(), thumb, clButtonHighlight, clButtonShadow);
}

// Run as the control is destroyed: a press under way ends (no repeat, the cursor free again), and the
// data forgets the control.
static void ForgetControl(void* data) {
  TScrollBarData* d = static_cast<TScrollBarData*>(data);
  if (d->Pressed != sbNone || d->Dragging) ClipCursor(nullptr);
  d->RepeatTimer->SetEnabled(false);
  d->Pressed = sbNone;
  d->Dragging = false;
  d->Control = nullptr;
}

TControl* NewScrollBar(TControl* parent) {
  TControl* c = NewPanelBase(parent, 2);
  TScrollBarData* d = NewObj<TScrollBarData>(c);
  d->Scale = d->CurrentScale();
  d->RepeatTimer = NewTimer(1000);
  d->RepeatTimer->OnTimer = {&ScrollBarInput::Tick, d};
  c->SetColor(clAppWorkspace);
  c->CustomData = d;
  c->Add2AutoFreeEx(&ForgetControl, d);
  c->AttachProc({&ScrollBarInput::Handle, d});
  c->OnPaint = {&ScrollBarInput::Paint, d};
  c->ClassStyle &= ~static_cast<UINT>(CS_DBLCLKS);
  return c;
}
