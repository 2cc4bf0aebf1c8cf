// The measurement details window (see measurement_details.h). Plain toolkit controls driven by one
// analysis step per timer tick: the newest 4410 recorded frames go through the lock-in, the kept readings'
// mean through the calibration into the core's figures and their uncertainty, and every read-out is
// written from fixed buffers, so a tick allocates nothing.
#include "app/measurement_details.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "app/tone_chain.h"
#include "app/torus_panel.h"
#include "audio/analysis/angles.h"
#include "audio/analysis/calibration.h"
#include "audio/analysis/core_figures.h"
#include "audio/analysis/lock_in.h"
#include "audio/analysis/reading_average.h"
#include "audio/analysis/uncertainty.h"
#include "audio/library/audio_library.h"
#include "elements/edit.h"
#include "elements/number_syntax.h"
#include "runtime/finite.h"
#include "toolkit/application.h"
#include "toolkit/control.h"
#include "toolkit/timer.h"

namespace {

constexpr char kCaption[] = "Measurement details";
constexpr char kMenuText[] = "Measurement details...";
constexpr char kDash[] = "\x97";  // the em dash in the window's code page
constexpr int32_t kTickMs = 100;
// About 0.1 s of recording: what the lock-in's rejection of hum, harmonics and clock offset is made for.
constexpr uint32_t kAnalysedFrames = 4410;
constexpr int kTextSize = 96;
constexpr int kStatusSize = 512;
constexpr int kMostRecorded = 1000;

// Layout, in client pixels.
constexpr int kRow = 22;
constexpr int kMargin = 8;
constexpr int kInputLabelWidth = 150;
constexpr int kInputWidth = 70;
constexpr int kReadoutLeft = 290;
constexpr int kReadoutLabelWidth = 140;
constexpr int kButtonWidth = 130;
constexpr int kClientWidth = 740;
constexpr int kClientHeight = 600;
constexpr int kReadoutWidth = kClientWidth - kReadoutLeft - kReadoutLabelWidth - kMargin;

enum TInput {
  inTurnsK, inRref, inLref, inRrefTolerance, inOuterTolerance, inInnerTolerance, inHeightTolerance, inFullScale,
  inReadings, inCalibrationGain, inCalibrationPhase, kInputs
};
struct TInputField {
  const char* Label;
  const char* Default;
};
constexpr TInputField kInputFields[kInputs] = {
    {"Sense turns K", "10"},           {"Rref (ohm)", "0.6283"},      {"or Lref (\xB5H)", ""},
    {"Rref tolerance (\xB1%)", "1"},   {"D tolerance (\xB1mm)", "0.05"}, {"d tolerance (\xB1mm)", "0.05"},
    {"H tolerance (\xB1mm)", "0.05"},  {"Full scale (V rms)", "1.0"},  {"Readings averaged n", "10"},
    {"Calibration gain (dB)", "0"},    {"Calibration phase (\xB0)", "0"},
};

enum TReadout {
  roFrequency, roLevel1, roLevel2, roResidual1, roResidual2, roClipping, roRatio, roPhase, roInductance,
  roResistance, roQ, roAL, roMuReal, roMuImag, roMuMagnitude, roLossTangent, roU, roCurrent, roFlux, kReadouts
};
constexpr const char* kReadoutLabels[kReadouts] = {
    "Frequency", "Level ch 1", "Level ch 2", "Signal/residual ch 1", "Signal/residual ch 2", "Clipping",
    "|rho|", "Phase ch 1 - ch 2", "L", "R", "Q", "A_L", "\xB5'", "\xB5''", "|\xB5|", "Loss tangent", "u",
    "Current", "B (peak)",
};

// The clipboard's columns: the names a reading is exported under, in this order.
enum TColumn {
  coFrequency, coLevel1, coLevel2, coRatio, coPhase, coInductance, coResistance, coQ, coAL, coMuReal, coMuImag,
  coMuMagnitude, coMuRealUnc, coMuImagUnc, coU, coFlux, coOuter, coInner, coHeight, coTurns, coSenseTurns, coRref,
  coCalGain, coCalPhase, coLref, coReadings, kColumns
};
constexpr const char* kColumnNames[kColumns] = {
    "f_Hz", "level1_dBFS", "level2_dBFS", "ratio", "phase_deg", "L_uH", "R_ohm", "Q", "AL_nH", "mu_re", "mu_im",
    "mu_abs", "mu_re_unc", "mu_im_unc", "u", "B_mT", "D_mm", "d_mm", "H_mm", "N", "K", "Rref_ohm", "cal_dB",
    "cal_deg", "Lref_uH", "n"};

// One reading's exported values; a value that could not be computed is absent.
struct TRow {
  double Value[kColumns];
  bool Present[kColumns];
};

// The number a field shows: a complete number text, else nothing.
bool FieldNumber(HWND field, double& value) {
  char text[kTextSize];
  const int length = GetWindowTextA(field, text, sizeof text);
  if (length <= 0 || !IsNumberText(std::string_view(text, static_cast<size_t>(length)))) return false;
  value = std::strtod(text, nullptr);
  return IsFinite(value);
}

bool FieldEmpty(HWND field) { return GetWindowTextLengthA(field) == 0; }

// A window's text into a fixed buffer; empty when the window has none or cannot be read.
template <size_t N>
void ReadText(HWND wnd, char (&text)[N]) {
  if (GetWindowTextA(wnd, text, N) <= 0) text[0] = '\0';
}

// Sets a window's text only when it differs, so an unchanged read-out is not repainted every tick.
void ShowText(HWND wnd, const char* text) {
  char shown[kStatusSize];
  ReadText(wnd, shown);
  if (std::strcmp(shown, text) != 0) SetWindowTextA(wnd, text);
}

std::optional<double> AsOptionalDouble(const std::optional<int32_t>& value) {
  return value ? std::optional<double>(*value) : std::nullopt;
}

// Appends a reason to the status line, separated by "; ".
void AppendReason(char* status, const char* reason) {
  if (!reason) return;
  const size_t used = std::strlen(status);
  std::snprintf(status + used, kStatusSize - used, "%s%s", used ? "; " : "", reason);
}

}  // namespace

class TMeasurementWindow {
public:
  TMeasurementWindow(TControl* mainWindow, TClassChildPanel_324F104* panel) : main_(mainWindow), panel_(panel) {}
  ~TMeasurementWindow();
  TMeasurementWindow(const TMeasurementWindow&) = delete;
  TMeasurementWindow& operator=(const TMeasurementWindow&) = delete;

  bool MainHook(TControl* sender, TMsg& msg);

private:
  void Open();
  bool Build();
  bool FormHook(TControl* sender, TMsg& msg);
  void FormDestroyed(TObj* sender);
  void Tick(TTimer* timer);
  const char* ReadSetup();
  void ShowReadouts();
  void Show(TReadout readout, const char* text);
  void ShowNumber(TReadout readout, const std::optional<double>& value, const char* format);
  void Calibrate(TControl* sender);
  void ClearCalibration(TControl* sender);
  void Record(TControl* sender);
  void Copy(TControl* sender);
  void ShowCalibration();
  void FillRow(TRow& row) const;
  std::optional<double> ToneFrequency() const;

  TControl* main_;
  TClassChildPanel_324F104* panel_;
  TControl* form_ = nullptr;
  TControl* inputs_[kInputs] = {};
  TControl* readouts_[kReadouts] = {};
  TControl* status_ = nullptr;
  TControl* list_ = nullptr;
  TTimer* timer_ = nullptr;

  // The analysis state, kept across closing and opening.
  int16_t frames_[2 * kAnalysedFrames];
  TReadingAverage kept_;
  TLockInReading newest_;
  bool haveReading_ = false;
  TCoreSetup setup_;
  TTolerances tolerances_;
  int averaged_ = kDefaultAveragedReadings;
  const char* inputProblem_ = nullptr;
  TCalibration calibration_;
  // The calibration fields' texts as last written or read: a different text was typed by the user.
  char calibrationText_[2][kTextSize] = {"0", "0"};
  const char* refusal_ = nullptr;  // the last calibration's refusal, until the next calibration action
  TRatioAverage corrected_;
  TCoreFigures figures_;
  TPermeabilityUncertainty uncertainty_;
  bool lossResolved_ = false;
  TRow recorded_[kMostRecorded];
  int recordedCount_ = 0;
  char text_[kTextSize];
  char status_text_[kStatusSize];
};

TMeasurementWindow::~TMeasurementWindow() {
  main_->DetachProc(MakeMethod<&TMeasurementWindow::MainHook>(this));
  if (timer_) timer_->Free();
  if (form_) {
    form_->OnDestroy = {};
    form_->Free();
  }
}

bool TMeasurementWindow::MainHook(TControl*, TMsg& msg) {
  if (msg.message != WM_SYSCOMMAND || (msg.wParam & 0xFFF0) != kMeasurementDetailsCommand) return false;
  Open();
  msg.Result = 0;
  return true;
}

void TMeasurementWindow::Open() {
  if (!form_ && !Build()) return;
  if (!timer_) {
    timer_ = NewTimer(kTickMs);
    timer_->OnTimer = MakeMethod<&TMeasurementWindow::Tick>(this);
  }
  form_->SetVisible(true);
  SetForegroundWindow(form_->Handle);
  timer_->SetEnabled(true);
}

bool TMeasurementWindow::Build() {
  form_ = NewForm(CreatedApplet, kCaption);
  form_->Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  form_->Visible = false;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, form_->Style, FALSE, form_->ExStyle);
  form_->SetSize(frame.right - frame.left, frame.bottom - frame.top);
  if (!form_->GetWindowHandle()) {
    form_->Free();
    form_ = nullptr;
    return false;
  }
  // Each control is made at once; one that cannot be is left out, and the window works without it.
  auto place = [this](TControl* c, int left, int top, int width, int height) {
    form_->Add2AutoFree(c);
    c->SetBoundsRect({left, top, left + width, top + height});
    c->GetWindowHandle();
  };
  int top = kMargin;
  for (int i = 0; i < kInputs; ++i) {
    place(NewLabel(form_, kInputFields[i].Label), kMargin, top + 2, kInputLabelWidth, kRow - 4);
    inputs_[i] = NewEditBox(form_, 0);
    place(inputs_[i], kMargin + kInputLabelWidth, top, kInputWidth, kRow - 2);
    inputs_[i]->SetCaption(kInputFields[i].Default);
    top += kRow;
  }
  const int inputsBottom = top;
  top = kMargin;
  for (int i = 0; i < kReadouts; ++i) {
    place(NewLabel(form_, kReadoutLabels[i]), kReadoutLeft, top + 2, kReadoutLabelWidth, kRow - 4);
    readouts_[i] = NewLabel(form_, kDash);
    place(readouts_[i], kReadoutLeft + kReadoutLabelWidth, top + 2, kReadoutWidth, kRow - 4);
    top += kRow;
  }
  // A push button in the given column of the row at top.
  auto button = [&](const char* text, int column, TOnEvent onClick) {
    TControl* pushButton = NewButton(form_, text);
    place(pushButton, kMargin + column * (kButtonWidth + kMargin), top, kButtonWidth, kRow + 2);
    pushButton->OnClick = onClick;
  };
  top = inputsBottom + kMargin;
  button("Calibrate channels", 0, MakeMethod<&TMeasurementWindow::Calibrate>(this));
  button("Clear calibration", 1, MakeMethod<&TMeasurementWindow::ClearCalibration>(this));
  top = kMargin + kReadouts * kRow + kMargin;
  status_ = NewLabel(form_, "");
  place(status_, kMargin, top, kClientWidth - 2 * kMargin, 2 * kRow);
  status_->SetStyle((status_->Style & ~static_cast<DWORD>(SS_TYPEMASK)) | SS_LEFT);
  top += 2 * kRow + kMargin;
  button("Record", 0, MakeMethod<&TMeasurementWindow::Record>(this));
  button("Copy", 1, MakeMethod<&TMeasurementWindow::Copy>(this));
  top += kRow + 2 + kMargin;
  list_ = NewListBox(form_);
  place(list_, kMargin, top, kClientWidth - 2 * kMargin, kClientHeight - top - kMargin);

  form_->AttachProc(MakeMethod<&TMeasurementWindow::FormHook>(this));
  form_->OnDestroy = MakeMethod<&TMeasurementWindow::FormDestroyed>(this);
  EnableTabNavigation(form_);
  return true;
}

// Closing hides the window and stops its analysis; its controls and what they hold stay.
bool TMeasurementWindow::FormHook(TControl*, TMsg& msg) {
  if (msg.message != WM_CLOSE) return false;
  if (timer_) timer_->SetEnabled(false);
  form_->SetVisible(false);
  msg.Result = 0;
  return true;
}

// The applet destroys the window with the main one: nothing of it is used again.
void TMeasurementWindow::FormDestroyed(TObj*) {
  form_ = nullptr;
  if (timer_) timer_->SetEnabled(false);
}

// The setup from the fields; the first problem with what was typed, or null.
const char* TMeasurementWindow::ReadSetup() {
  double v[kInputs] = {};
  bool given[kInputs] = {};
  for (int i = 0; i < kInputs; ++i) given[i] = FieldNumber(inputs_[i]->Handle, v[i]);
  HWND const dims[4] = {panel_->EditOuterDiameter->Control->Handle, panel_->EditInnerDiameter->Control->Handle,
                        panel_->EditHeight->Control->Handle, panel_->EditTurns->Control->Handle};
  double dim[4] = {};
  for (int i = 0; i < 4; ++i) {
    if (!FieldNumber(dims[i], dim[i]) || dim[i] <= 0) {
      return "D, d, H and N in the main window must be positive numbers";
    }
  }
  if (dim[1] >= dim[0]) return "d must be smaller than D";
  setup_.OuterMm = dim[0];
  setup_.InnerMm = dim[1];
  setup_.HeightMm = dim[2];
  setup_.Turns = dim[3];
  setup_.AngularFrequency = ToneAngularFrequency();
  if (!given[inTurnsK] || v[inTurnsK] <= 0) return "K must be a positive number";
  const bool inductor = FieldEmpty(inputs_[inRref]->Handle) && !FieldEmpty(inputs_[inLref]->Handle);
  if (!inductor && !FieldEmpty(inputs_[inLref]->Handle)) return "enter either Rref or Lref, not both";
  const TInput reference = inductor ? inLref : inRref;
  if (!given[reference] || v[reference] <= 0) return "the reference must be a positive number";
  if (!given[inFullScale] || v[inFullScale] <= 0) return "the full scale must be a positive number";
  for (int i = inRrefTolerance; i <= inHeightTolerance; ++i) {
    if (!given[i] || v[i] < 0) return "the tolerances must be numbers of 0 or more";
  }
  if (!given[inReadings] || v[inReadings] < 1 || v[inReadings] > kMostAveragedReadings ||
      v[inReadings] != std::floor(v[inReadings])) {
    return "n must be a whole number from 1 to 100";
  }
  setup_.SenseTurns = v[inTurnsK];
  setup_.Reference = inductor ? TReference::Inductor : TReference::Resistor;
  setup_.ReferenceValue = v[reference];
  setup_.FullScaleVrms = v[inFullScale];
  tolerances_.ReferencePercent = v[inRrefTolerance];
  tolerances_.OuterMm = v[inOuterTolerance];
  tolerances_.InnerMm = v[inInnerTolerance];
  tolerances_.HeightMm = v[inHeightTolerance];
  averaged_ = static_cast<int>(v[inReadings]);
  return nullptr;
}

void TMeasurementWindow::Tick(TTimer*) {
  if (!form_ || !form_->Handle) return;
  status_text_[0] = '\0';
  // A calibration typed into its fields replaces the one in use.
  for (int i = 0; i < 2; ++i) {
    char typed[kTextSize];
    ReadText(inputs_[inCalibrationGain + i]->Handle, typed);
    if (std::strcmp(typed, calibrationText_[i]) == 0) continue;
    std::memcpy(calibrationText_[i], typed, sizeof typed);
    double gain = 0, phase = 0;
    if (FieldNumber(inputs_[inCalibrationGain]->Handle, gain) &&
        FieldNumber(inputs_[inCalibrationPhase]->Handle, phase)) {
      const TCalibrationOutcome entered = TCalibration::Entered(gain, phase, 0, 0);
      refusal_ = entered.Refusal;
      if (!entered.Refusal) calibration_ = entered.Calibration;
    } else {
      refusal_ = "the calibration must be two numbers";
    }
  }
  inputProblem_ = ReadSetup();
  AppendReason(status_text_, inputProblem_);
  AppendReason(status_text_, refusal_);

  haveReading_ = false;
  if (BASS_ChannelIsActive(AUDIO_RECORD_CHANNEL) != AUDIO_PLAYING) {
    AppendReason(status_text_, "the recording is not running");
  } else {
    std::memset(frames_, 0, sizeof frames_);
    const int32_t bytes = BASS_ChannelGetData(AUDIO_RECORD_CHANNEL, frames_, sizeof frames_);
    const uint32_t frames = bytes > 0 ? static_cast<uint32_t>(bytes) / 4 : 0;
    newest_ = LockIn(frames_, frames, ToneAngularFrequency() / (2 * kPi), ToneSampleRate());
    haveReading_ = newest_.Analysed;
    if (!haveReading_) {
      AppendReason(status_text_, "too little recorded to analyse");
    } else if (!kept_.Add(newest_)) {
      AppendReason(status_text_, "no tone on channel 2");
    }
  }
  for (int c = 0; c < 2; ++c) {
    if (haveReading_ && newest_.Channels[c].Clipped) {
      AppendReason(status_text_, c ? "channel 2 clips" : "channel 1 clips");
    }
  }
  figures_ = TCoreFigures();
  uncertainty_ = TPermeabilityUncertainty();
  lossResolved_ = false;
  corrected_ = TRatioAverage();
  if (kept_.Count() > 0 && !inputProblem_) {
    corrected_ = calibration_.Corrected(kept_.Average(averaged_));
    figures_ = CoreFigures(setup_, corrected_);
    uncertainty_ = PermeabilityUncertainty(setup_, tolerances_, figures_, corrected_, calibration_);
    lossResolved_ = LossResolved(figures_, uncertainty_);
    AppendReason(status_text_, figures_.Problem);
    if (!figures_.Problem) AppendReason(status_text_, uncertainty_.Problem);
    if (figures_.Reversed) AppendReason(status_text_, "the sense winding is reversed: the ratio was negated");
    if (figures_.MuImag && !uncertainty_.Problem && !lossResolved_) {
      AppendReason(status_text_, "\xB5'' within its uncertainty: no Q or loss tangent");
    }
    if (setup_.Reference == TReference::Inductor) AppendReason(status_text_, "inductor reference: |\xB5| and L only");
  }
  if (!calibration_.IsSet()) {
    AppendReason(status_text_, "not calibrated: \xB1" "0.1 dB and \xB1" "0.5\xB0 allowed for the channels' mismatch");
  }
  ShowReadouts();
  ShowText(status_->Handle, status_text_);
}

void TMeasurementWindow::Show(TReadout readout, const char* text) { ShowText(readouts_[readout]->Handle, text); }

// A value with its format (which holds the unit), or the dash when it is absent or not finite.
void TMeasurementWindow::ShowNumber(TReadout readout, const std::optional<double>& value, const char* format) {
  if (!value || !IsFinite(*value)) {
    Show(readout, kDash);
    return;
  }
  std::snprintf(text_, sizeof text_, format, *value);
  Show(readout, text_);
}

// The newest reading's frequency: the tone's only while channel 2 carries one.
std::optional<double> TMeasurementWindow::ToneFrequency() const {
  if (!haveReading_ || !newest_.Channels[1].LevelDbfs) return std::nullopt;
  return newest_.FrequencyHz;
}

void TMeasurementWindow::ShowReadouts() {
  const TChannelReading* ch = haveReading_ ? newest_.Channels : nullptr;
  ShowNumber(roFrequency, ToneFrequency(), "%.2f Hz");
  ShowNumber(roLevel1, ch ? ch[0].LevelDbfs : std::nullopt, "%.2f dBFS");
  ShowNumber(roLevel2, ch ? ch[1].LevelDbfs : std::nullopt, "%.2f dBFS");
  ShowNumber(roResidual1, ch ? ch[0].SignalToResidualDb : std::nullopt, "%.1f dB");
  ShowNumber(roResidual2, ch ? ch[1].SignalToResidualDb : std::nullopt, "%.1f dB");
  if (ch) {
    std::snprintf(text_, sizeof text_, "ch 1 %s, ch 2 %s", ch[0].Clipped ? "CLIPS" : "no",
                  ch[1].Clipped ? "CLIPS" : "no");
    Show(roClipping, text_);
  } else {
    Show(roClipping, kDash);
  }
  ShowNumber(roRatio, figures_.RatioMagnitude, "%.5g");
  ShowNumber(roPhase, figures_.PhaseDeg, "%.3f\xB0");
  ShowNumber(roInductance, figures_.InductanceUh, "%.5g \xB5H");
  ShowNumber(roResistance, lossResolved_ ? figures_.ResistanceOhm : std::nullopt, "%.4g ohm");
  ShowNumber(roQ, lossResolved_ ? figures_.Q : std::nullopt, "%.4g");
  ShowNumber(roAL, figures_.InductanceFactorNh, "%.5g nH");
  const bool certain = !uncertainty_.Problem;
  const std::optional<double> parts[2] = {figures_.MuReal, figures_.MuImag};
  const TExpandedUncertainty* spreads[2] = {&uncertainty_.Real, &uncertainty_.Imag};
  for (int i = 0; i < 2; ++i) {
    const TReadout readout = i ? roMuImag : roMuReal;
    if (!parts[i] || !IsFinite(*parts[i])) {
      Show(readout, kDash);
    } else if (certain && IsFinite(spreads[i]->Value)) {
      std::snprintf(text_, sizeof text_, "%.1f \xB1 %.1f (k=2; most: %s)", *parts[i], spreads[i]->Value,
                    ContributorName(spreads[i]->Largest));
      Show(readout, text_);
    } else {
      ShowNumber(readout, parts[i], "%.1f");
    }
  }
  ShowNumber(roMuMagnitude, figures_.MuMagnitude, "%.1f");
  ShowNumber(roLossTangent, lossResolved_ ? figures_.LossTangent : std::nullopt, "%.4g");
  ShowNumber(roU, AsOptionalDouble(figures_.U), "%.0f");
  ShowNumber(roCurrent, figures_.CurrentMaRms, "%.3g mA rms");
  ShowNumber(roFlux, figures_.FluxDensityMt, "%.3g mT");
}

void TMeasurementWindow::ShowCalibration() {
  std::snprintf(calibrationText_[0], kTextSize, "%.4f", calibration_.GainDb());
  std::snprintf(calibrationText_[1], kTextSize, "%.4f", calibration_.PhaseDeg());
  for (int i = 0; i < 2; ++i) SetWindowTextA(inputs_[inCalibrationGain + i]->Handle, calibrationText_[i]);
}

void TMeasurementWindow::Calibrate(TControl*) {
  if (kept_.Count() == 0) {
    refusal_ = "no readings to calibrate with";
    return;
  }
  const TCalibrationOutcome taken = TCalibration::Take(kept_, averaged_);
  refusal_ = taken.Refusal;
  if (taken.Refusal) return;
  calibration_ = taken.Calibration;
  ShowCalibration();
}

void TMeasurementWindow::ClearCalibration(TControl*) {
  refusal_ = nullptr;
  calibration_ = TCalibration();
  ShowCalibration();
}

void TMeasurementWindow::FillRow(TRow& row) const {
  const auto set = [&row](TColumn column, const std::optional<double>& value) {
    row.Present[column] = value && IsFinite(*value);
    row.Value[column] = row.Present[column] ? *value : 0;
  };
  const TChannelReading* ch = haveReading_ ? newest_.Channels : nullptr;
  set(coFrequency, ToneFrequency());
  set(coLevel1, ch ? ch[0].LevelDbfs : std::nullopt);
  set(coLevel2, ch ? ch[1].LevelDbfs : std::nullopt);
  set(coRatio, figures_.RatioMagnitude);
  set(coPhase, figures_.PhaseDeg);
  set(coInductance, figures_.InductanceUh);
  set(coResistance, lossResolved_ ? figures_.ResistanceOhm : std::nullopt);
  set(coQ, lossResolved_ ? figures_.Q : std::nullopt);
  set(coAL, figures_.InductanceFactorNh);
  set(coMuReal, figures_.MuReal);
  set(coMuImag, figures_.MuImag);
  set(coMuMagnitude, figures_.MuMagnitude);
  const bool certain = !uncertainty_.Problem && !figures_.Problem;
  set(coMuRealUnc, certain ? std::optional<double>(uncertainty_.Real.Value) : std::nullopt);
  set(coMuImagUnc, certain ? std::optional<double>(uncertainty_.Imag.Value) : std::nullopt);
  set(coU, AsOptionalDouble(figures_.U));
  set(coFlux, figures_.FluxDensityMt);
  const bool setup = !inputProblem_;
  const bool resistor = setup_.Reference == TReference::Resistor;
  set(coOuter, setup ? std::optional<double>(setup_.OuterMm) : std::nullopt);
  set(coInner, setup ? std::optional<double>(setup_.InnerMm) : std::nullopt);
  set(coHeight, setup ? std::optional<double>(setup_.HeightMm) : std::nullopt);
  set(coTurns, setup ? std::optional<double>(setup_.Turns) : std::nullopt);
  set(coSenseTurns, setup ? std::optional<double>(setup_.SenseTurns) : std::nullopt);
  set(coRref, setup && resistor ? std::optional<double>(setup_.ReferenceValue) : std::nullopt);
  set(coLref, setup && !resistor ? std::optional<double>(setup_.ReferenceValue) : std::nullopt);
  set(coCalGain, calibration_.GainDb());
  set(coCalPhase, calibration_.PhaseDeg());
  set(coReadings, corrected_.Readings);
}

namespace {

// A value as the list and the clipboard show it; empty when absent.
std::string ColumnText(const TRow& row, int column) {
  if (!row.Present[column]) return "";
  char text[kTextSize];
  std::snprintf(text, sizeof text, "%.7g", row.Value[column]);
  return text;
}

}  // namespace

void TMeasurementWindow::Record(TControl*) {
  if (recordedCount_ == kMostRecorded) {
    refusal_ = "the list is full";
    return;
  }
  TRow& row = recorded_[recordedCount_];
  FillRow(row);
  ++recordedCount_;
  const auto value = [&row](TColumn c) { return row.Present[c] ? ColumnText(row, c) : std::string(kDash); };
  const std::string line = std::to_string(recordedCount_) + ":  \xB5' " + value(coMuReal) + " \xB1 " +
                           value(coMuRealUnc) + "   \xB5'' " + value(coMuImag) + " \xB1 " + value(coMuImagUnc) +
                           "   L " + value(coInductance) + " \xB5H   u " + value(coU) + "   D " + value(coOuter) +
                           "  d " + value(coInner) + "  H " + value(coHeight) + "  N " + value(coTurns);
  if (!AddListLine(list_, line)) refusal_ = "the list could not take the reading";
}

// The list as tab-separated text, or the current reading when the list is empty.
void TMeasurementWindow::Copy(TControl*) {
  std::string text;
  for (int c = 0; c < kColumns; ++c) text += std::string(c ? "\t" : "") + kColumnNames[c];
  text += "\r\n";
  TRow current;
  const TRow* rows = recorded_;
  int count = recordedCount_;
  if (count == 0) {
    FillRow(current);
    rows = &current;
    count = 1;
  }
  for (int r = 0; r < count; ++r) {
    for (int c = 0; c < kColumns; ++c) text += (c ? "\t" : "") + ColumnText(rows[r], c);
    text += "\r\n";
  }
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  void* target = memory ? GlobalLock(memory) : nullptr;
  if (!target) {
    if (memory) GlobalFree(memory);
    refusal_ = "no memory for the clipboard";
    return;
  }
  std::memcpy(target, text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  if (!OpenClipboard(form_->Handle)) {
    GlobalFree(memory);
    refusal_ = "the clipboard is in use";
    return;
  }
  const bool placed = EmptyClipboard() && SetClipboardData(CF_TEXT, memory);
  if (!placed) GlobalFree(memory);
  if (!CloseClipboard() || !placed) refusal_ = "the clipboard refused the text";
}

TMeasurementWindow* AttachMeasurementDetails(TControl* mainWindow, TClassChildPanel_324F104* torusPanel) {
  HMENU menu = torusPanel ? GetSystemMenu(mainWindow->GetWindowHandle(), FALSE) : nullptr;
  if (!menu || !AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) ||
      !AppendMenuA(menu, MF_STRING, kMeasurementDetailsCommand, kMenuText)) {
    return nullptr;
  }
  auto* details = new TMeasurementWindow(mainWindow, torusPanel);
  mainWindow->AttachProc(MakeMethod<&TMeasurementWindow::MainHook>(details));
  return details;
}

void FreeMeasurementDetails(TMeasurementWindow* details) { delete details; }
