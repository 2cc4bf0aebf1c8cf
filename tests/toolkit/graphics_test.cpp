// Graphic tools, canvases and bitmaps, checked by their pixels: every picture is copied into a 32-bit
// top-down DIB section and read back there.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/pixels.h"
#include "toolkit/control.h"
#include "toolkit/graphics.h"

namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kYellow = 0x00FFFF;
constexpr uint32_t kMagenta = 0xFF00FF;

// A 32-bit picture in memory, filled with one colour, to draw into; read through the shared pixel reader.
class Surface {
public:
  Surface(int width, int height, uint32_t fill) : width_(width), height_(height) {
    constexpr UINT kBitsPerPixel = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateBitmap(width, height, 1, kBitsPerPixel, nullptr);
    old_ = SelectObject(dc_, bitmap_);
    const RECT all{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  // The bitmap's picture, read through Draw.
  explicit Surface(TBitmap* bitmap) : Surface(bitmap->Width(), bitmap->Height(), kMagenta) {
    bitmap->Draw(dc_, 0, 0);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  // What the picture holds now.
  TPixels Read() const { return TPixels::OfDc(dc_, width_, height_); }

private:
  int width_;
  int height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// Fills the whole bitmap with one colour through its canvas (outline and inside).
void Fill(TBitmap* bitmap, int32_t colour) {
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(colour);
  canvas->Pen()->SetColor(colour);
  canvas->Rectangle(0, 0, bitmap->Width(), bitmap->Height());
}

TEST(Bitmap, AnEmptyBitmapHasNoCanvasAndGrowsIntoABlackPicture) {
  TBitmap* bitmap = NewBitmap(0, 0);
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_EQ(bitmap->Canvas(), nullptr);
  EXPECT_EQ(bitmap->Handle(), nullptr);
  Surface surface(8, 8, kMagenta);
  bitmap->Draw(surface.dc(), 0, 0);
  EXPECT_TRUE(surface.Read().All(kMagenta, {0, 0, 8, 8}));

  bitmap->SetWidth(120);
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_EQ(bitmap->Canvas(), nullptr);
  bitmap->SetHeight(125);
  ASSERT_FALSE(bitmap->Empty());
  EXPECT_NE(bitmap->Canvas(), nullptr);
  Surface picture(bitmap);
  EXPECT_TRUE(picture.Read().All(0x000000, {0, 0, 120, 125}));

  bitmap->Clear();
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_EQ(bitmap->Handle(), nullptr);
  bitmap->Free();
}

TEST(Bitmap, RectangleIsOutlinedWithThePenAndFilledWithTheBrush) {
  TBitmap* bitmap = NewBitmap(40, 30);
  Fill(bitmap, 0x000000);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(kWhite);
  canvas->Pen()->SetColor(kRed);
  canvas->Rectangle(5, 5, 25, 20);
  Surface s(bitmap);
  EXPECT_TRUE(s.Read().All(kRed, {5, 5, 25, 6}));    // top edge
  EXPECT_TRUE(s.Read().All(kRed, {5, 19, 25, 20}));  // bottom edge
  EXPECT_TRUE(s.Read().All(kRed, {5, 5, 6, 20}));    // left edge
  EXPECT_TRUE(s.Read().All(kRed, {24, 5, 25, 20}));  // right edge
  EXPECT_TRUE(s.Read().All(kWhite, {6, 6, 24, 19}));
  EXPECT_TRUE(s.Read().All(0x000000, {25, 0, 40, 30}));
  bitmap->Free();
}

TEST(Bitmap, APenColourChangedBetweenTwoLinesGivesTheSecondLineTheNewColour) {
  TBitmap* bitmap = NewBitmap(30, 30);
  Fill(bitmap, kWhite);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Pen()->SetColor(kRed);
  canvas->MoveTo(2, 5);
  canvas->LineTo(20, 5);
  HGDIOBJ redPen = canvas->Pen()->GetHandle();
  canvas->Pen()->SetColor(kBlue);
  // The red pen left the context and was deleted.
  EXPECT_EQ(GetObjectType(redPen), 0u);
  canvas->LineTo(20, 25);
  Surface s(bitmap);
  EXPECT_TRUE(s.Read().All(kRed, {2, 5, 20, 6}));
  EXPECT_TRUE(s.Read().All(kBlue, {20, 5, 21, 25}));
  EXPECT_EQ(s.Read().At(20, 25), kWhite);  // a line leaves out its end point
  EXPECT_EQ(s.Read().At(1, 5), kWhite);
  bitmap->Free();
}

TEST(Bitmap, PolylineJoinsThePointsAndTheCanvasKeepsDrawingAfterTheBitmapWasDrawnElsewhere) {
  TBitmap* bitmap = NewBitmap(20, 20);
  Fill(bitmap, kWhite);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Pen()->SetColor(kGreen);
  POINT points[] = {{2, 2}, {12, 2}, {12, 12}};
  canvas->Polyline(points, 2);
  Surface first(bitmap);
  EXPECT_TRUE(first.Read().All(kGreen, {2, 2, 12, 3}));
  EXPECT_TRUE(first.Read().All(kGreen, {12, 2, 13, 12}));
  // Draw took the picture out of the canvas's context; the same canvas still draws into it.
  canvas->Pen()->SetColor(kBlue);
  canvas->MoveTo(0, 15);
  canvas->LineTo(10, 15);
  Surface second(bitmap);
  EXPECT_TRUE(second.Read().All(kBlue, {0, 15, 10, 16}));
  EXPECT_TRUE(second.Read().All(kGreen, {2, 2, 12, 3}));
  bitmap->Free();
}

TEST(Bitmap, EnlargingKeepsThePictureTopLeftAndFillsTheRestWithBkColor) {
  TBitmap* bitmap = NewBitmap(10, 8);
  Fill(bitmap, kGreen);
  bitmap->SetPixel(9, 7, kRed);
  bitmap->SetBkColor(kBlue);
  bitmap->SetWidth(25);
  bitmap->SetHeight(20);
  Surface s(bitmap);
  EXPECT_TRUE(s.Read().All(kGreen, {0, 0, 10, 7}));
  EXPECT_EQ(s.Read().At(9, 7), kRed);
  EXPECT_TRUE(s.Read().All(kBlue, {10, 0, 25, 20}));
  EXPECT_TRUE(s.Read().All(kBlue, {0, 8, 10, 20}));

  // Shrinking cuts the picture off at the right and bottom.
  bitmap->SetWidth(5);
  Surface cut(bitmap);
  EXPECT_TRUE(cut.Read().All(kGreen, {0, 0, 5, 7}));
  EXPECT_TRUE(cut.Read().All(kBlue, {0, 8, 5, 20}));
  bitmap->Free();
}

TEST(Bitmap, DrawingWithACanvasBrushMakesItsColourTheBkColor) {
  TBitmap* bitmap = NewBitmap(6, 6);
  Fill(bitmap, kYellow);
  EXPECT_EQ(bitmap->BkColor(), static_cast<int32_t>(kYellow));
  bitmap->SetHeight(10);
  Surface s(bitmap);
  EXPECT_TRUE(s.Read().All(kYellow, {0, 0, 6, 10}));
  bitmap->Free();
}

TEST(Bitmap, DrawPlacesThePictureAndStretchDrawScalesIt) {
  TBitmap* bitmap = NewBitmap(2, 2);
  bitmap->SetPixel(0, 0, kRed);
  bitmap->SetPixel(1, 0, kGreen);
  bitmap->SetPixel(0, 1, kBlue);
  bitmap->SetPixel(1, 1, kWhite);

  Surface placed(6, 6, kMagenta);
  bitmap->Draw(placed.dc(), 3, 4);
  EXPECT_EQ(placed.Read().At(3, 4), kRed);
  EXPECT_EQ(placed.Read().At(4, 5), kWhite);
  EXPECT_EQ(placed.Read().At(2, 4), kMagenta);
  EXPECT_EQ(placed.Read().At(5, 4), kMagenta);

  Surface stretched(24, 24, kMagenta);
  SetStretchBltMode(stretched.dc(), COLORONCOLOR);
  bitmap->StretchDraw(stretched.dc(), RECT{2, 2, 22, 22});
  EXPECT_TRUE(stretched.Read().All(kRed, {2, 2, 12, 12}));
  EXPECT_TRUE(stretched.Read().All(kGreen, {12, 2, 22, 12}));
  EXPECT_TRUE(stretched.Read().All(kBlue, {2, 12, 12, 22}));
  EXPECT_TRUE(stretched.Read().All(kWhite, {12, 12, 22, 22}));
  EXPECT_TRUE(stretched.Read().All(kMagenta, {0, 0, 24, 2}));
  EXPECT_TRUE(stretched.Read().All(kMagenta, {22, 0, 24, 24}));
  bitmap->Free();
}

TEST(Canvas, TextIsDrawnInTheFontColourOnTheBrushColour) {
  TBitmap* bitmap = NewBitmap(80, 30);
  Fill(bitmap, kWhite);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Font()->SetFontName("Arial");
  canvas->Font()->SetFontHeight(-16);
  canvas->Font()->SetColor(kRed);
  canvas->Brush()->SetColor(kYellow);
  SIZE size = canvas->TextExtent("Wide");
  EXPECT_GT(size.cx, 10);
  EXPECT_GT(size.cy, 10);
  canvas->TextOut(2, 2, "Wide");
  const TPixels text = Surface(bitmap).Read();
  const TRect box{2, 2, 2 + size.cx, 2 + size.cy};
  EXPECT_GT(text.Count(kRed, box), 10);
  EXPECT_GT(text.Count(kYellow, box), 10);
  EXPECT_EQ(text.At(2 + size.cx + 2, 2), kWhite);
  bitmap->Free();
}

TEST(Canvas, TextExtentWithoutAContextUsesATemporaryOneAndBiggerFontsMeasureWider) {
  TCanvas* canvas = NewCanvas();
  canvas->Font()->SetFontName("Arial");
  canvas->Font()->SetFontHeight(-10);
  SIZE small = canvas->TextExtent("measure");
  EXPECT_EQ(canvas->CurrentHandle(), nullptr);
  canvas->Font()->SetFontHeight(-30);
  SIZE large = canvas->TextExtent("measure");
  EXPECT_GT(small.cx, 0);
  EXPECT_GT(large.cx, 2 * small.cx);
  EXPECT_EQ(canvas->TextExtent("").cx, 0);
  canvas->Free();
}

TEST(ControlCanvas, NewToolsTakeTheControlsColoursAndFont) {
  TControl* control = NewControl(nullptr, "CanvasForm", true);
  control->SetColor(kGreen);
  control->SetTextColor(kRed);
  control->GetFont()->SetFontName("Arial");
  TCanvas* canvas = control->GetCanvas();
  EXPECT_EQ(canvas->Brush()->Color(), static_cast<int32_t>(kGreen));
  EXPECT_EQ(canvas->Font()->Color(), static_cast<int32_t>(kRed));
  EXPECT_STREQ(canvas->Font()->Data().Font.lfFaceName, "Arial");
  control->Free();
}

TEST(ControlCanvas, DrawsInThePaintContextWithTheControlsColoursAndLeavesItOpen) {
  TControl* control = NewControl(nullptr, "CanvasForm", true);
  control->SetColor(kGreen);
  control->SetTextColor(kRed);
  Surface surface(60, 30, kWhite);
  control->PaintDC = surface.dc();
  TCanvas* canvas = control->GetCanvas();
  EXPECT_EQ(canvas->Handle(), surface.dc());
  canvas->TextOut(1, 1, "Text");
  const TPixels drawn = surface.Read();
  EXPECT_GT(drawn.Count(kRed), 5);
  EXPECT_GT(drawn.Count(kGreen), 5);
  canvas->SetHandle(nullptr);
  control->PaintDC = nullptr;
  EXPECT_EQ(GetObjectType(surface.dc()), static_cast<DWORD>(OBJ_MEMDC));
  control->Free();
}

TEST(GraphicTool, TheGdiObjectIsMadeWhenFirstNeededAndKeptUntilTheDataChanges) {
  TGraphicTool* pen = NewPen();
  int changes = 0;
  struct Counter {
    int* count;
    void Changed(TGraphicTool*) { ++*count; }
  } counter{&changes};
  pen->OnChange = MakeMethod<&Counter::Changed>(&counter);
  EXPECT_FALSE(pen->HasHandle());
  HGDIOBJ first = pen->GetHandle();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(pen->GetHandle(), first);
  pen->SetColor(0);  // unchanged
  pen->SetPenWidth(0);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(pen->GetHandle(), first);

  pen->SetPenWidth(3);
  EXPECT_EQ(changes, 2);  // once before the old object goes, once after
  EXPECT_FALSE(pen->HasHandle());
  LOGPEN made{};
  GetObjectA(pen->GetHandle(), sizeof made, &made);
  EXPECT_EQ(made.lopnWidth.x, 3);
  pen->Free();
}

TEST(GraphicTool, DefaultsOfTheThreeKinds) {
  TGraphicTool* pen = NewPen();
  TGraphicTool* brush = NewBrush();
  TGraphicTool* font = NewFont();
  EXPECT_EQ(pen->Color(), 0);
  EXPECT_EQ(pen->PenMode(), R2_COPYPEN);
  EXPECT_EQ(brush->Color(), clDefaultBackground);
  EXPECT_EQ(brush->RgbValue(), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(font->Color(), clDefaultText);
  EXPECT_STREQ(font->Data().Font.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(font->Data().Font.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(GetObjectType(font->GetHandle()), static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetObjectType(brush->GetHandle()), static_cast<DWORD>(OBJ_BRUSH));
  pen->Free();
  brush->Free();
  font->Free();
}

TEST(GraphicTool, BrushStylesMakeSolidHollowAndHatchedBrushes) {
  TGraphicTool* brush = NewBrush();
  brush->SetColor(kRed);
  LOGBRUSH made{};
  GetObjectA(brush->GetHandle(), sizeof made, &made);
  EXPECT_EQ(made.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(made.lbColor, kRed);
  brush->SetBrushStyle(bsClear);
  GetObjectA(brush->GetHandle(), sizeof made, &made);
  EXPECT_EQ(made.lbStyle, static_cast<UINT>(BS_HOLLOW));
  brush->SetBrushStyle(bsHatchBase + HS_CROSS);
  brush->SetBrushLineColor(kBlue);
  GetObjectA(brush->GetHandle(), sizeof made, &made);
  EXPECT_EQ(made.lbStyle, static_cast<UINT>(BS_HATCHED));
  EXPECT_EQ(made.lbHatch, static_cast<ULONG_PTR>(HS_CROSS));
  EXPECT_EQ(made.lbColor, kBlue);
  brush->Free();
}

TEST(GraphicTool, FontDataFollowsNameHeightStyleAndCharset) {
  TGraphicTool* font = NewFont();
  font->SetFontName("A face name longer than thirty-one characters");
  font->SetFontHeight(14);
  font->SetFontStyle(fsBold | fsUnderline);
  font->SetFontCharset(SYMBOL_CHARSET);
  LOGFONTA made{};
  GetObjectA(font->GetHandle(), sizeof made, &made);
  EXPECT_EQ(std::string(made.lfFaceName), std::string("A face name longer than thirty-one characters").substr(0, 31));
  EXPECT_EQ(made.lfHeight, 14);
  EXPECT_EQ(made.lfWeight, FW_BOLD);
  EXPECT_EQ(made.lfUnderline, 1);
  EXPECT_EQ(made.lfItalic, 0);
  EXPECT_EQ(made.lfCharSet, SYMBOL_CHARSET);
  EXPECT_EQ(font->FontStyle(), fsBold | fsUnderline);
  font->Free();
}

TEST(GraphicTool, AToolWithIdenticalDataBorrowsItsParentsObjectUntilItDiffers) {
  TGraphicTool* parent = NewFont();
  TGraphicTool* child = parent->Clone();
  child->ParentTool = parent;
  EXPECT_EQ(child->GetHandle(), parent->GetHandle());
  EXPECT_FALSE(child->HasHandle());
  child->SetFontHeight(20);
  EXPECT_NE(child->GetHandle(), parent->GetHandle());
  EXPECT_TRUE(child->HasHandle());
  child->Free();
  parent->Free();
}

TEST(GraphicTool, AssignCopiesTheDataAndAPatternBitmapOfItsOwn) {
  TGraphicTool* source = NewBrush();
  source->SetColor(kGreen);
  source->SetBrushBitmap(CreateBitmap(8, 8, 1, 1, nullptr));
  TGraphicTool* target = NewBrush();
  target->Assign(source);
  EXPECT_EQ(target->Color(), static_cast<int32_t>(kGreen));
  HBITMAP sourcePattern = source->Data().Brush.Bitmap;
  HBITMAP targetPattern = target->Data().Brush.Bitmap;
  ASSERT_NE(targetPattern, nullptr);
  EXPECT_NE(targetPattern, sourcePattern);
  LOGBRUSH made{};
  GetObjectA(target->GetHandle(), sizeof made, &made);
  EXPECT_EQ(made.lbStyle, static_cast<UINT>(BS_PATTERN));
  source->Free();
  EXPECT_EQ(GetObjectType(sourcePattern), 0u);
  EXPECT_EQ(GetObjectType(targetPattern), static_cast<DWORD>(OBJ_BITMAP));
  target->Free();
  EXPECT_EQ(GetObjectType(targetPattern), 0u);
}

TEST(GraphicTool, ASystemColourToolRemakesItsObjectAfterTheSystemColourChanged) {
  TGraphicTool* brush = NewBrush();  // button face
  brush->GetHandle();
  int index = COLOR_BTNFACE;
  COLORREF original = GetSysColor(index);
  COLORREF changed = original ^ 0x404040;
  ASSERT_TRUE(SetSysColors(1, &index, &changed));
  HGDIOBJ after = brush->GetHandle();
  LOGBRUSH made{};
  GetObjectA(after, sizeof made, &made);
  SetSysColors(1, &index, &original);
  EXPECT_EQ(made.lbColor, changed);
  EXPECT_EQ(brush->RgbValue(), changed);
  brush->Free();
}

}  // namespace
