// TCanvas: a device context with a pen, a brush and a font that are selected into it only when a drawing
// operation needs them, and taken out again (stock objects) whenever one of them changes.
#pragma once
#include <windows.h>

#include <cstdint>

#include "toolkit/graphic_tool.h"
#include "toolkit/obj.h"

class TControl;

// Canvas State bits, and the request flag asking for the change notification before drawing.
enum : uint8_t {
  csHandleValid = 1,
  csPenValid = 2,
  csBrushValid = 4,
  csFontValid = 8,
  csChangeNotify = 0x10,
};

class TCanvas : public TObj {
public:
  // The control this canvas draws on, or null. A control's canvas takes its colours, font and brush from
  // the control, and never releases the control's paint context.
  TControl* OwnerControl = nullptr;
  // The pen position, re-applied with a move whenever the device context is replaced.
  POINT PenPos{0, 0};
  uint8_t State = 0;
  // Called before every drawing operation that changes pixels.
  TCallback<void(TCanvas* canvas)> OnChange;
  // Supplies a device context when the canvas has none.
  TCallback<HDC(TCanvas* canvas)> OnGetHandle;
  // While set, TextExtent leaves a context it did not have to make itself; cleared when the context is replaced.
  bool KeepContext = false;

  // The device context: the one set, else one from OnGetHandle (which is then kept), else 0.
  HDC Handle();
  // Replaces the context: the tools are taken out of the old one, which is released (ReleaseDC for a
  // window's context, DeleteDC otherwise) unless it is the owner control's paint context.
  void SetHandle(HDC dc);
  // The context as it is now, without asking OnGetHandle.
  HDC CurrentHandle() const { return handle_; }

  // Makes sure the requested cs... items are in place; false when a context was asked for and none can be had.
  bool RequiredState(uint8_t flags);
  // Selects the stock objects in place of the tools and clears their State bits.
  void DeselectTools();

  // The tools, made on first use.
  TGraphicTool* Pen();
  TGraphicTool* Brush();
  TGraphicTool* Font();
  // The owner control's font changed: a font already made takes a copy of it again, so the canvas keeps
  // drawing in the control's font however early it was first asked for.
  void OwnerFontChanged();

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  // Outline with the pen, inside with the brush.
  void Rectangle(int left, int top, int right, int bottom);
  // Fills with the brush alone, no outline.
  void FillRect(const RECT& rect);
  // A line through points[0] .. points[lastIndex].
  void Polyline(const POINT* points, int lastIndex);
  void TextOut(int x, int y, const char* text);
  // The size of text in the canvas font; a canvas without a context uses a temporary memory context.
  SIZE TextExtent(const char* text);

protected:
  ~TCanvas() override;

private:
  void ToolChanged(TGraphicTool* tool);
  TGraphicTool* AdoptTool(TGraphicTool* tool);
  void SelectFont();
  void SelectPen();
  void SelectBrush();
  // What a control's canvas takes from its control.
  bool IsOwnerPaintContext(HDC dc) const;
  int32_t OwnerColor() const;
  int32_t OwnerTextColor() const;
  void TakeOwnerBrush(TGraphicTool* brush) const;
  void TakeOwnerFont(TGraphicTool* font) const;

  HDC handle_ = nullptr;
  TGraphicTool* pen_ = nullptr;
  TGraphicTool* brush_ = nullptr;
  TGraphicTool* font_ = nullptr;
};

// A canvas on dc (which it then owns), or without a context when dc is 0.
TCanvas* NewCanvas(HDC dc = nullptr);
