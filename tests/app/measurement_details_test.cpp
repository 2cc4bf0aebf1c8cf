// The measurement details window of the running instrument on the loopback rig, driven from another
// process: opened through the main window's system menu command, its read-outs finite, Copy's header on
// the clipboard, closing and opening it again, and the program still ending with 0 after the main window closes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/app/instrument_driver.h"

using namespace wintool;

namespace {

using namespace instrument;


std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

using MeasurementDetails = InstrumentTest;

TEST_F(MeasurementDetails, OpensFromTheSystemMenuShowsFiniteFiguresCopiesAndClosesWithTheProgram) {
  Settled(in_);
  HWND details = OpenDetails(in_, program_->Id());
  ASSERT_NE(details, nullptr) << "no window captioned exactly \"" << kDetailsCaption << "\"";
  Sleep(2000);  // ten readings averaged
  // Both channels carry the same tone on this rig (one value of the chain apart): |rho| near 1, at the tone
  // chain's 9999.7 Hz.
  const std::string frequency = ValueAfter(details, "Frequency");
  EXPECT_NEAR(std::atof(frequency.c_str()), 9999.7, 1.0) << frequency;
  EXPECT_NE(frequency.find("Hz"), std::string::npos);
  const std::string ratio = ValueAfter(details, "|rho|");
  EXPECT_NEAR(std::atof(ratio.c_str()), 1.0, 0.03) << ratio;
  for (const char* label : {"Level ch 1", "Level ch 2", "Phase ch 1 - ch 2", "L", "A_L", "\xB5''", "u", "B (peak)"}) {
    const std::string shown = ValueAfter(details, label);
    char* end = nullptr;
    const double value = std::strtod(shown.c_str(), &end);
    EXPECT_TRUE(end != shown.c_str() && std::isfinite(value)) << label << " shows " << shown;
  }
  HWND copy = ChildWithText(details, "Copy");
  ASSERT_NE(copy, nullptr);
  PostMessageA(copy, BM_CLICK, 0, 0);
  ASSERT_TRUE(Drain(in_));
  const std::string text = ClipboardText();
  const std::string header = text.substr(0, text.find("\r\n"));
  for (const char* name : {"f_Hz", "level1_dBFS", "level2_dBFS", "ratio", "phase_deg", "L_uH", "R_ohm", "Q", "AL_nH",
                           "mu_re", "mu_im", "mu_abs", "mu_re_unc", "mu_im_unc", "u", "B_mT", "D_mm", "d_mm", "H_mm",
                           "N", "K", "Rref_ohm", "cal_dB", "cal_deg"}) {
    EXPECT_NE(("\t" + header + "\t").find("\t" + std::string(name) + "\t"), std::string::npos) << name;
  }
  EXPECT_NE(text.find("\r\n", header.size() + 2), std::string::npos) << "no reading line after the header";
  // Closed, it hides; chosen again, it shows once more.
  PostClose(details);
  ASSERT_TRUE(Drain(in_));
  EXPECT_EQ(FindTopWindow(kDetailsCaption, FormClass, program_->Id()), nullptr);
  EXPECT_EQ(OpenDetails(in_, program_->Id()), details);
  ExpectAlive("after reopening the details");
  CloseCleanly();
}

}  // namespace
