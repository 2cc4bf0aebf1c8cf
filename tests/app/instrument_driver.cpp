// Driving the running instrument from a test (see instrument_driver.h).
#include "tests/app/instrument_driver.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "app/measurement_details.h"
#include "elements/number_syntax.h"
#include "runtime/convert.h"

using namespace wintool;

namespace instrument {

namespace {

HWND ChildNear(const std::vector<TChild>& children, const char* className, int left, int top) {
  for (const TChild& c : children) {
    if (c.Class == className && std::abs(c.Rect.left - left) <= 6 && std::abs(c.Rect.top - top) <= 6) return c.Handle;
  }
  return nullptr;
}

// 2^1024 - 2^970: an 80-bit result of at least this magnitude no longer fits a 64-bit real.
constexpr long double kDoubleOverflow = 0x1.fffffffffffff8p1023L;

// One operation of a math element: finite operands, a non-zero divisor and a result that fits a
// 64-bit real, or nothing.
std::optional<double> Operation(double a, char op, double b) {
  if (!std::isfinite(a) || !std::isfinite(b)) return std::nullopt;
  const long double x = a, y = b;
  long double result;
  switch (op) {
    case '+': result = x + y; break;
    case '-': result = x - y; break;
    case '*': result = x * y; break;
    default:
      if (b == 0.0) return std::nullopt;
      result = x / y;
  }
  if (!(std::fabs(result) < kDoubleOverflow)) return std::nullopt;
  return static_cast<double>(result);
}

}  // namespace

TInstrument Locate(HWND window) {
  TInstrument in;
  in.Window = window;
  std::vector<TChild> children = Children(window);
  in.RightLevel = ChildNear(children, "obj_EDIT", 390, 450);
  in.LeftLevel = ChildNear(children, "obj_EDIT", 390, 485);
  in.Outer = ChildNear(children, "obj_EDIT", 135 + 40, 5 + 60);
  in.Inner = ChildNear(children, "obj_EDIT", 135 + 40, 5 + 90);
  in.Height = ChildNear(children, "obj_EDIT", 135 + 40, 5 + 120);
  in.Turns = ChildNear(children, "obj_EDIT", 135 + 40, 5 + 150);
  in.Result = ChildNear(children, "obj_EDIT", 135 + 205, 5 + 50);
  for (const TChild& c : children) {
    if (c.Rect.left == 75 && c.Rect.top == 465) in.AmplitudeBar = c.Handle;
  }
  return in;
}

double Number(HWND edit) { return std::strtod(WindowText(edit).c_str(), nullptr); }

TReading Read(const TInstrument& in) {
  for (;;) {
    TReading a{Number(in.LeftLevel), Number(in.RightLevel), WindowText(in.Result)};
    Sleep(20);
    TReading b{Number(in.LeftLevel), Number(in.RightLevel), WindowText(in.Result)};
    if (a.Left == b.Left && a.Right == b.Right && a.U == b.U) return a;
  }
}

TReading Settled(const TInstrument& in) {
  TReading r = Read(in);
  for (int ticks = 0, tries = 0; ticks < 5 && tries < 200; ++tries) {
    Sleep(100);
    TReading next = Read(in);
    if (next.Left > 0 && next.Right > 0 && next.Left != r.Left) ++ticks;
    r = next;
  }
  return r;
}

TReading NextTick(const TInstrument& in) {
  const std::string left = WindowText(in.LeftLevel), right = WindowText(in.RightLevel);
  for (int i = 0; i < 100; ++i) {
    Sleep(30);
    if (WindowText(in.LeftLevel) != left || WindowText(in.RightLevel) != right) break;
  }
  return Read(in);
}

void TypeKeys(HWND edit, const std::string& keys) {
  for (char c : keys) {
    UINT key = static_cast<unsigned char>(c);
    if (c == '.') key = VK_OEM_PERIOD;
    if (c == '-') key = VK_OEM_MINUS;
    if (c == '+') key = VK_ADD;  // the keypad's plus, which needs no Shift
    if (c >= 'a' && c <= 'z') key = c - 'a' + 'A';
    PostKey(edit, key);
  }
}

// The characters that the instrument's loop makes of the key presses queue up behind them, so the field
// keeps the focus until they have been handled.
void ReplaceText(const TInstrument& in, HWND edit, const std::string& text) {
  PostClick(edit, 45, 8);
  PostKey(edit, VK_END);
  for (size_t i = WindowText(edit).size(); i > 0; --i) PostKey(edit, VK_BACK);
  TypeKeys(edit, text);
  EXPECT_TRUE(Drain(in)) << "the instrument stopped answering";
}

void TypeDimensions(const TInstrument& in, const std::string& D, const std::string& d, const std::string& H,
                    const std::string& N) {
  const std::pair<HWND, const std::string*> fields[] = {{in.Outer, &D}, {in.Inner, &d}, {in.Height, &H}, {in.Turns, &N}};
  for (const auto& [field, text] : fields) ReplaceText(in, field, *text);
  for (const auto& [field, text] : fields) EXPECT_EQ(WindowText(field), *text);
}

// A marker is a text limit posted to the first channel's read-out, which only ever shows what the
// program writes into it: once the limit reads back, every message posted before it has been handled.
// Two rounds, because the characters the loop makes of posted key presses queue up behind the first.
bool Drain(const TInstrument& in, DWORD timeoutMs) {
  static WPARAM marker = 0;
  const DWORD start = GetTickCount();
  for (int round = 0; round < 2; ++round) {
    marker = 100000 + (marker + 1) % 100000;
    if (!PostMessageA(in.LeftLevel, EM_SETLIMITTEXT, marker, 0)) return false;
    for (;;) {
      DWORD_PTR limit = 0;
      if (SendMessageTimeoutA(in.LeftLevel, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, 1000, &limit) &&
          limit == marker) {
        break;
      }
      if (!IsWindow(in.LeftLevel) || GetTickCount() - start >= timeoutMs) return false;
      Sleep(0);
    }
  }
  return true;
}

HWND FocusedWindow(const TInstrument& in) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(in.Window, nullptr);
  return thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

double FieldValue(const std::string& text) {
  return IsNumberText(text) ? StrToReal(RcString(text)) : 0.0;
}

std::optional<double> PanelSum(double r, double D, double d, double H, double N) {
  const std::optional<double> a = Operation(r, '*', 2500.0);
  if (!a) return std::nullopt;
  // The sum and the difference are only stored; a failed one is read as 0 by the next step.
  const double s = Operation(D, '+', d).value_or(0.0);
  const double t = Operation(D, '-', d).value_or(0.0);
  std::optional<double> g = Operation(*a, '*', s);
  if (g) g = Operation(*g, '/', t);
  if (g) g = Operation(*g, '/', H);
  if (g) g = Operation(*g, '/', N);
  if (g) g = Operation(*g, '+', N);
  return g;
}

double ChainRatio(const TReading& reading) {
  return 1.0 / static_cast<double>(static_cast<long double>(reading.Right) / reading.Left);
}

int32_t ShownU(double g) { return Round(g); }

bool IsIntegerText(const std::string& text) {
  size_t i = text.size() > 1 && text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

TFieldTexts ReadFields(const TInstrument& in) {
  return {WindowText(in.Outer), WindowText(in.Inner), WindowText(in.Height), WindowText(in.Turns)};
}

std::string TFieldTexts::Text() const {
  return "D=\"" + D + "\" d=\"" + d + "\" H=\"" + H + "\" N=\"" + N + "\"";
}

void ExpectUFollowsChain(const TInstrument& in, const char* context) {
  // A level of 0 is a tick in a gap of the rig's own sound path: the chain stops there and u keeps its
  // value, but under load a tick can pass between two reads and move u first. Such a pair is read again.
  constexpr int kPairsTried = 10;
  TReading before, now;
  for (int pair = 0; pair < kPairsTried; ++pair) {
    before = NextTick(in);
    now = NextTick(in);
    if (now.Left != 0 && now.Right != 0) break;
  }
  const TFieldTexts fields = ReadFields(in);
  const std::string where =
      std::string(context) + ": " + fields.Text() + " u=" + now.U + " (before " + before.U + ")";
  const std::optional<double> g =
      now.Left == 0 || now.Right == 0
          ? std::nullopt
          : PanelSum(ChainRatio(now), FieldValue(fields.D), FieldValue(fields.d), FieldValue(fields.H),
                     FieldValue(fields.N));
  if (!g) {
    EXPECT_EQ(now.U, before.U) << where << ": the chain stops, u keeps its value";
    return;
  }
  EXPECT_TRUE(IsIntegerText(now.U)) << where;
  const int32_t shown = static_cast<int32_t>(std::strtoll(now.U.c_str(), nullptr, 10));
  // The read-outs carry 15 digits of each level: the sum is known to about 2e-14 of itself.
  const double uncertainty = std::fabs(*g) * 2e-14 + 0.51;
  if (std::fabs(*g) >= 0x1p63) {
    EXPECT_EQ(shown, 0) << where << ": g=" << *g;
  } else if (uncertainty < 2) {
    const int32_t expected = ShownU(*g);
    const int32_t difference = static_cast<int32_t>(static_cast<uint32_t>(shown) - static_cast<uint32_t>(expected));
    EXPECT_LE(std::abs(difference), 1) << where << ": g=" << *g << " expected " << expected;
  }
}

void InstrumentTest::SetUp() {
  program_ = std::make_unique<TProcess>(ProgramCommandLine());
  ASSERT_TRUE(program_->Started());
  // Without a sound device the start shows the audio error codes in boxes, one after the other, as the
  // window appears: each is noted and closed, until the expected ones have come and no other has for a
  // second after the window and the last of them.
  HWND window = nullptr;
  DWORD lastEvent = GetTickCount();
  for (const DWORD start = lastEvent; GetTickCount() - start < DefaultTimeoutMs; Sleep(20)) {
    if (HWND box = FindTopWindow("", MessageBoxClass, program_->Id())) {
      startMessages_.push_back(MessageBoxText(box));
      CloseMessageBox(box);
      for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
      lastEvent = GetTickCount();
    }
    if (!window && (window = FindTopWindow(ProgramCaption, FormClass, program_->Id()))) lastEvent = GetTickCount();
    if (window && startMessages_.size() >= expectedStartBoxes_ && GetTickCount() - lastEvent >= 1000) break;
  }
  ASSERT_NE(window, nullptr);
  SetWindowPos(window, nullptr, 0, 0, 520, 560, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  in_ = Locate(window);
  ASSERT_TRUE(in_.LeftLevel && in_.RightLevel && in_.Result && in_.Outer && in_.Inner && in_.Height &&
              in_.Turns && in_.AmplitudeBar);
}

// Watches for an error box of the instrument while it ends: a box blocks its exit until closed.
void InstrumentTest::CloseCleanly() {
  PostClose(in_.Window);
  std::optional<DWORD> code;
  std::string box;
  for (const DWORD start = GetTickCount(); !code && GetTickCount() - start < DefaultTimeoutMs;) {
    code = program_->WaitForExit(50);
    if (HWND shown = FindTopWindow("Error", MessageBoxClass, program_->Id()); shown && box.empty()) {
      box = MessageBoxText(shown);
    }
  }
  EXPECT_EQ(box, "") << "the instrument showed an error box as it closed";
  ASSERT_TRUE(code.has_value()) << "the instrument did not end after its window closed";
  EXPECT_EQ(*code, 0u);
}

void InstrumentTest::ExpectAlive(const char* context) {
  std::optional<DWORD> code = program_->WaitForExit(0);
  EXPECT_FALSE(code.has_value()) << context << ": the instrument ended with code " << code.value_or(0);
  HWND box = FindTopWindow("Error", MessageBoxClass, program_->Id());
  EXPECT_EQ(box, nullptr) << context << ": " << (box ? MessageBoxText(box) : "");
}

void InstrumentTest::SaveScreenshot(const char* name) {
  HDC screen = GetDC(nullptr);
  RECT r;
  GetWindowRect(in_.Window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = ((w * 3 + 3) / 4) * 4, size = stride * h;
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0,
                        0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  if (FILE* f = std::fopen(PathBesideExecutable(name).c_str(), "wb")) {
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f);
    std::fwrite(bits, size, 1, f);
    std::fclose(f);
  }
  SelectObject(memory, old);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

HWND OpenDetails(const TInstrument& in, DWORD processId) {
  PostMessageA(in.Window, WM_SYSCOMMAND, kMeasurementDetailsCommand, 0);
  return wintool::WaitForTopWindow(kDetailsCaption, FormClass, processId);
}

std::string ValueAfter(HWND details, const std::string& labelText) {
  const std::vector<wintool::TChild> children = wintool::Children(details);
  for (size_t i = 0; i + 1 < children.size(); ++i) {
    if (children[i].Text == labelText) return wintool::WindowText(children[i + 1].Handle);
  }
  return "<no label " + labelText + ">";
}

HWND ChildWithText(HWND window, const std::string& text) {
  for (const wintool::TChild& child : wintool::Children(window)) {
    if (child.Text == text) return child.Handle;
  }
  return nullptr;
}

}  // namespace instrument
