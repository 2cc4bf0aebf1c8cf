// The panel control, its painting, and the panel element (see panel.h).
#include "elements/panel.h"

#include <string>

#include "toolkit/color.h"
#include "toolkit/edge_frame.h"
#include "toolkit/graphic_tool.h"


TPanelData* PanelData(TControl* panel) { return static_cast<TPanelData*>(panel->CustomData); }

// BevelWidth nested frames of a bevel, shrinking r by one pixel per frame.
static void DrawBevel(HDC dc, RECT& r, uint8_t bevel, int16_t width) {
  if (bevel == bvNone) return;
  const int32_t light = bevel == bvRaised ? clButtonHighlight : clButtonShadow;
  const int32_t dark = bevel == bvRaised ? clButtonShadow : clButtonHighlight;
  for (int i = 0; i < width; ++i) {
    DrawEdgeFrame(dc, r, light, dark);
    InflateRect(&r, -1, -1);
  }
}

static void PaintPanel(TControl* panel, HDC dc) {
  TPanelData* data = PanelData(panel);
  RECT r = panel->ClientRect();
  DrawBevel(dc, r, data->OuterBevel, data->BevelWidth);
  for (int i = 0; i < data->BorderWidth; ++i) {
    DrawEdgeFrame(dc, r, panel->Color, panel->Color);
    InflateRect(&r, -1, -1);
  }
  DrawBevel(dc, r, data->InnerBevel, data->BevelWidth);
  if (!panel->Transparent) FillRect(dc, &r, static_cast<HBRUSH>(panel->GetBrush()->GetHandle()));

  static const UINT horizontal[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  static const UINT vertical[] = {DT_VCENTER, DT_TOP, DT_BOTTOM};
  const std::string caption = panel->GetCaption();
  HGDIOBJ oldFont = SelectObject(dc, panel->GetFont()->GetHandle());
  ::SetTextColor(dc, Color2RGB(panel->TextColor));
  SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
            DT_SINGLELINE | DT_EXPANDTABS | horizontal[data->Alignment % 3] | vertical[data->VerticalAlignment % 3]);
  SelectObject(dc, oldFont);
  if (data->CustomPaint.Assigned()) data->CustomPaint(panel, dc);
}

static bool PanelPaintHandler(void*, TControl* panel, TMsg& msg) {
  if (msg.message != WM_PAINT || panel->UpdateCount > 0) return false;
  PAINTSTRUCT ps;
  HDC dc = reinterpret_cast<HDC>(msg.wParam);
  const bool began = dc == nullptr;
  if (began) dc = BeginPaint(panel->Handle, &ps);
  PaintPanel(panel, dc);
  if (began) EndPaint(panel->Handle, &ps);
  msg.Result = 0;
  return true;
}

TControl* NewPanel(TControl* parent, uint8_t outerBevel, uint8_t innerBevel, int16_t bevelWidth,
                   int16_t borderWidth) {
  TControl* panel = NewPanelBase(parent, 2);
  TPanelData* data = NewObj<TPanelData>();
  data->OuterBevel = outerBevel;
  data->InnerBevel = innerBevel;
  data->BevelWidth = bevelWidth;
  data->BorderWidth = borderWidth;
  panel->CustomData = data;
  panel->AttachProc({&PanelPaintHandler, nullptr});
  return panel;
}

void TZvPanel::Init() {
  Control = NewPanel(ParentControl, BevelOuter, BevelInner, static_cast<int16_t>(BevelWidth),
                     static_cast<int16_t>(BorderWidth));
  TZvWin::Init();
  Control->SetCaption(Caption.str());
  Control->GetFont()->SetFontHeight(-11);
  TPanelData* data = PanelData(Control);
  data->VerticalAlignment = 0;
  data->Alignment = Alignment;
  Control->OnClick = MakeMethod<&TZvPanel::Clicked>(this);
}

bool TZvPanel::MessageHook(TControl* sender, TMsg& msg) {
  if (msg.message == WM_SIZE) sender->Invalidate();
  return TZvWin::MessageHook(sender, msg);
}

void TZvPanel::Clicked(TControl*) { FireNull(onClick); }
