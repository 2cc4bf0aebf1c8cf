// TGraphicTool: a pen, brush or font described by plain data. Its GDI object is made only when first
// needed and dropped whenever the data changes, so holders (a canvas, a control) reselect the new one.
#pragma once
#include <windows.h>

#include <cstdint>

#include "toolkit/color.h"
#include "toolkit/obj.h"

enum TGraphicToolKind : uint8_t { gtkBrush = 0, gtkFont = 1, gtkPen = 2 };

// Brush styles: solid, hollow, and hatched from bsHatchBase on (style - bsHatchBase is the GDI hatch style).
enum : uint8_t { bsSolid = 0, bsClear = 1, bsHatchBase = 2 };

// Font style bits.
enum : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

#pragma pack(push, 1)
struct TBrushData {
  HBITMAP Bitmap;     // pattern; owned by the tool; 0 = none
  uint8_t Style;      // bsSolid, bsClear, or bsHatchBase + hatch style
  int32_t LineColor;  // colour of the hatch lines
};

struct TPenData {
  uint8_t Style;  // GDI pen style (PS_SOLID ...)
  int32_t Width;  // 0 = one pixel
  uint8_t Mode;   // raster operation (R2_...) minus one
};

// The description a GDI object is made from. Compared byte for byte, so it is always fully zeroed first.
struct TGraphicToolData {
  int32_t Color;
  union {
    TBrushData Brush;
    TPenData Pen;
    LOGFONTA Font;
  };
};
#pragma pack(pop)
static_assert(sizeof(TGraphicToolData) == 64, "tool data is 64 bytes");

class TGraphicTool : public TObj {
public:
  // The tool whose GDI object is borrowed while both have identical Data. It must outlive this tool.
  TGraphicTool* ParentTool = nullptr;
  // Called when the GDI object is dropped: holders must deselect it.
  TCallback<void(TGraphicTool* tool)> OnChange;

  explicit TGraphicTool(TGraphicToolKind kind);

  TGraphicToolKind Kind() const { return kind_; }
  const TGraphicToolData& Data() const { return data_; }
  int32_t Color() const { return data_.Color; }
  // Color2RGB(Color) as of the time the GDI object was made (or the colour was last set).
  uint32_t RgbValue() const { return rgb_; }
  // The GDI object, made now if needed; remade first when its system colour changed since.
  HGDIOBJ GetHandle();
  // True while the tool holds a GDI object of its own.
  bool HasHandle() const { return handle_ != nullptr; }

  void SetColor(int32_t color);

  // Brush.
  void SetBrushStyle(uint8_t style);
  void SetBrushLineColor(int32_t color);
  // Takes ownership of bitmap (the previous pattern bitmap is deleted).
  void SetBrushBitmap(HBITMAP bitmap);

  // Pen.
  void SetPenStyle(uint8_t style);
  void SetPenWidth(int32_t width);
  // rop2 is a GDI raster operation, R2_BLACK (1) .. R2_WHITE (16).
  void SetPenMode(int rop2);
  int PenMode() const { return data_.Pen.Mode + 1; }

  // Font.
  void SetFontName(const char* name);  // at most 31 characters are kept
  void SetFontHeight(int32_t height);  // GDI height: positive = cell height, negative = character height
  void SetFontStyle(uint8_t styles);   // fs... bits
  uint8_t FontStyle() const;
  void SetFontCharset(uint8_t charset);

  // Copies source's data (both must be of one kind). Nothing when both already share one GDI object.
  void Assign(const TGraphicTool* source);
  // A new tool of the same kind with a copy of this tool's data.
  TGraphicTool* Clone() const;

  // Drops the GDI object (notifying the holders) and notifies once more.
  void Changed();

protected:
  ~TGraphicTool() override;

private:
  template <class T> void SetField(T& field, const T& value);
  HGDIOBJ MakeHandle() const;
  void DropHandle();

  TGraphicToolKind kind_;
  HGDIOBJ handle_ = nullptr;
  uint32_t rgb_ = 0;
  TGraphicToolData data_;
};

// A solid black one-pixel pen in copy mode.
TGraphicTool* NewPen();
// A solid brush of the button-face system colour.
TGraphicTool* NewBrush();
// "MS Sans Serif" of the default height in the window-text system colour.
TGraphicTool* NewFont();
