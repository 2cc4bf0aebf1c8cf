// The image element (see image.h).
#include "elements/image.h"

#include "runtime/convert.h"
#include "toolkit/bitmap.h"

TZvImage::TZvImage(TControl* parentControl) : TZvWin(parentControl) {
  Control = NewChildControl(parentControl, "STATIC", WS_CHILD | WS_VISIBLE | SS_NOTIFY, StaticClassDescriptor, false);
  Control->SetSize(40, 40);
  picture_ = NewBitmap(0, 0);
}

TZvImage::~TZvImage() {
  picture_->Free();
  picture_ = nullptr;
  if (ownsBackground_) DeleteObject(background_);
}

void TZvImage::Init() {
  TZvWin::Init();
  Control->OnClick = MakeMethod<&TZvImage::Clicked>(this);
  Control->OnPaint = MakeMethod<&TZvImage::Paint>(this);
  if (FollowSize) Control->OnResize = MakeMethod<&TZvImage::Resized>(this);
  if (Color < 0) {
    background_ = GetSysColorBrush(Color & 0xFFFFFF);
  } else {
    background_ = CreateSolidBrush(static_cast<COLORREF>(Color));
    ownsBackground_ = true;
  }
  if (picture_->Empty()) {
    picture_->SetWidth(Control->Width());
    picture_->SetHeight(Control->Height());
    if (FollowSize) {
      const RECT all = picture_->BoundsRect();
      if (TCanvas* canvas = picture_->Canvas()) FillRect(canvas->Handle(), &all, background_);
    } else {
      picture_->Clear();
    }
  }
}

void TZvImage::Bitmap(TData& data, uint16_t) {
  data.Kind = dtBitmap;
  data.Object = picture_;
}

// The proportional view paints every pixel of the control, picture and bands alike, so an erase before it
// would only be painted over; any other view is erased first.
void TZvImage::doRefresh(TData&, uint16_t) {
  if (Control) Control->Invalidate(!PaintCoversControl());
}

bool TZvImage::PaintCoversControl() const {
  return picture_->Handle() != nullptr && DrawProc.Assigned() && ViewStyle == vsProportional;
}

void TZvImage::Clicked(TControl*) { FireNull(onClick); }

void TZvImage::Resized(TControl* sender) {
  picture_->SetWidth(sender->Width());
  picture_->SetHeight(sender->Height());
}

void TZvImage::Paint(TControl* sender, HDC dc) {
  if (picture_->Empty() || !picture_->Handle()) {
    const RECT client = sender->ClientRect();
    FillRect(dc, &client, background_);
    return;
  }
  if (DrawProc.Assigned()) DrawProc(dc);
}

RECT TZvImage::ProportionalRect(RECT client, int width, int height, int bitmapWidth, int bitmapHeight) {
  RECT r = client;
  if (bitmapWidth > bitmapHeight) {
    const long double k = static_cast<long double>(bitmapWidth) / bitmapHeight;
    const int top = (height - Round(width / k)) / 2;
    r.top = top;
    r.bottom = height - top;
  } else {
    const long double k = static_cast<long double>(bitmapHeight) / bitmapWidth;
    const int left = (width - Round(height / k)) / 2;
    r.left = left;
    r.right = width - left;
  }
  return r;
}

void TZvImage::DrawProportional(HDC dc) {
  const int width = Control->Width(), height = Control->Height();
  const RECT r = ProportionalRect(Control->ClientRect(), width, height, picture_->Width(), picture_->Height());
  if (picture_->Width() > picture_->Height()) {
    const RECT above{0, 0, r.right, r.top}, below{0, r.bottom, r.right, height};
    FillRect(dc, &above, background_);
    FillRect(dc, &below, background_);
  } else {
    const RECT before{0, 0, r.left, r.bottom}, after{r.right, 0, width, r.bottom};
    FillRect(dc, &before, background_);
    FillRect(dc, &after, background_);
  }
  SetStretchBltMode(dc, COLORONCOLOR);
  picture_->StretchDraw(dc, r);
}
