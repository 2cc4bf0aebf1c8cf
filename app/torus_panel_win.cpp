// The torus panel's elements, their settings and links, built in the generated schematics' order:
// the panel first, then the other elements in field order, configured in reverse field order.
// The chain as it runs (its elements are wired in torus_chain.cpp):
//
//   r -> TorusInterface -> MathScale (2500 r) -> HubTorus -> MathSum (D + d)
//                                                         -> MathDiff (D - d)
//                                                         -> MathTimesSum (x the sum)
//        -> MathByDiff (/ the difference) -> MathByHeight (/ H) -> MathByTurns (/ N)
//        -> MathPlusTurns (+ N, rounded) -> EditResult (u)
//   D, d, N: EditOuterDiameter -> GetOuter, EditInnerDiameter -> GetInner, EditTurns -> GetTurns, each
//   read afresh by the two elements it serves; H: EditHeight, read by MathByHeight.
#include "app/torus_panel.h"

#include "app/schematic_support.h"
#include "app/torus_chain.h"
#include "elements/label.h"
#include "elements/panel.h"
#include "toolkit/graphic_tool.h"
#include "runtime/edit_multi.h"
#include "runtime/get_data.h"
#include "runtime/hub.h"
#include "runtime/math_element.h"

namespace {

TFontRec SansSerif(uint8_t size, uint8_t style = 0, int32_t color = clBlack) {
  return MakeFont("MS Sans Serif", size, style, color, 1);
}

void ConfigureLabel(TZvLabel* label, int32_t left, int32_t top, int32_t width, int32_t height, const char* caption,
                    const TFontRec& font) {
  SetWin(label, TWinArgs().At(left, top, width, height).WithColor(clButtonFace).WithFont(font));
  label->Transparent = 0;
  label->SetAutoSize(true);
  label->SetAlignment(taLeft);
  label->HoverColor = 0;
  label->HoverCursor = 0;
  label->HoverUnderline = 0;
  label->Caption = RcString(caption);
  label->Init();
}

// A dimension field's data output: its number, read afresh at every use.
TZv_Event FieldValue(TZvEdit* field) { return MakeEvent<&TZvEdit::TextValue>(field, 0); }

}  // namespace

TClassChildPanel_324F104::TClassChildPanel_324F104(TControl* parent) {
  TorusPanel = new TZvPanel(parent);
  SetWin(TorusPanel, TWinArgs().At(135, 5, 328, 181).WithColor(clButtonFace).WithFont(SansSerif(8)));
  TorusPanel->Caption = RcString();
  TorusPanel->BevelInner = bvLowered;
  TorusPanel->BevelOuter = bvNone;
  TorusPanel->BevelWidth = 1;
  TorusPanel->BorderWidth = 1;
  TorusPanel->Alignment = taLeft;
  TorusPanel->Init();
  TControl* inside = TorusPanel->Control;

  TorusInterface = new TZvEditMulti;
  EditOuterDiameter = new TZvEdit(inside);
  EditInnerDiameter = new TZvEdit(inside);
  EditHeight = new TZvEdit(inside);
  EditTurns = new TZvEdit(inside);
  EditResult = new TZvEdit(inside);
  LabelTitle = new TZvLabel(inside);
  MathScale = new TZvMath;
  HubTorus = new TZvHub;
  MathSum = new TZvMath;
  GetOuter = new TZvGetData;
  GetInner = new TZvGetData;
  MathDiff = new TZvMath;
  MathTimesSum = new TZvMath;
  MathByDiff = new TZvMath;
  MathByHeight = new TZvMath;
  MathByTurns = new TZvMath;
  MathPlusTurns = new TZvMath;
  GetTurns = new TZvGetData;
  LabelPrompt = new TZvLabel(inside);
  LabelOuter = new TZvLabel(inside);
  LabelInner = new TZvLabel(inside);
  LabelHeight = new TZvLabel(inside);
  LabelTurns = new TZvLabel(inside);
  LabelUnitOuter = new TZvLabel(inside);
  LabelUnitInner = new TZvLabel(inside);
  LabelUnitHeight = new TZvLabel(inside);
  LabelTurnsHint = new TZvLabel(inside);
  LabelResult = new TZvLabel(inside);

  ConfigureLabel(LabelResult, 175, 55, 26, 28, "u=", SansSerif(16));
  ConfigureLabel(LabelTurnsHint, 95, 150, 144, 24, "turns  (USE 10...20)", SansSerif(12));
  ConfigureLabel(LabelUnitHeight, 95, 120, 30, 24, "mm", SansSerif(12));
  ConfigureLabel(LabelUnitInner, 95, 90, 30, 24, "mm", SansSerif(12));
  ConfigureLabel(LabelUnitOuter, 95, 60, 30, 24, "mm", SansSerif(12));
  ConfigureLabel(LabelTurns, 15, 150, 24, 24, "N=", SansSerif(12));
  ConfigureLabel(LabelHeight, 15, 120, 25, 24, "H=", SansSerif(12));
  ConfigureLabel(LabelInner, 15, 90, 22, 24, "d=", SansSerif(12));
  ConfigureLabel(LabelOuter, 15, 60, 25, 24, "D=", SansSerif(12));
  ConfigureLabel(LabelPrompt, 10, 35, 159, 24, "Enter torus dimension", SansSerif(12, 0, clRed));

  WireFieldReader(GetTurns, FieldValue(EditTurns));

  WirePlusTurns(MathPlusTurns, GetTurns, MakeEvent<&TZvEdit::doText>(EditResult, 0));
  WireByTurns(MathByTurns, GetTurns, MathPlusTurns);
  WireByHeight(MathByHeight, FieldValue(EditHeight), MathByTurns);
  WireByDifference(MathByDiff, MathDiff, MathByHeight);
  WireTimesSum(MathTimesSum, MathSum, MathByDiff);
  WireDifference(MathDiff, GetOuter, GetInner);
  WireFieldReader(GetInner, FieldValue(EditInnerDiameter));
  WireFieldReader(GetOuter, FieldValue(EditOuterDiameter));
  WireSum(MathSum, GetOuter, GetInner);
  WireTorusHub(HubTorus, MathSum, MathDiff, MathTimesSum);
  WireScale(MathScale, HubTorus);

  ConfigureLabel(LabelTitle, 35, 10, 246, 28, "MAGNETIC CONDUCTIVITY", SansSerif(15, fsUnderline));
  ConfigureEdit(EditResult, 205, 50, 90, 30, "0", SansSerif(14), vkText);
  ConfigureEdit(EditTurns, 40, 150, 50, 20, "10", SansSerif(12), vkReal);
  ConfigureEdit(EditHeight, 40, 120, 50, 20, "3", SansSerif(12), vkReal);
  ConfigureEdit(EditInnerDiameter, 40, 90, 50, 20, "6", SansSerif(12), vkReal);
  ConfigureEdit(EditOuterDiameter, 40, 60, 50, 20, "10", SansSerif(12), vkReal);

  WireTorusDoor(TorusInterface, MathScale);

  Interface = TorusInterface;
  TorusInterface->Owner = this;
}

TClassChildPanel_324F104::~TClassChildPanel_324F104() {
  delete TorusInterface;
  delete EditOuterDiameter;
  delete EditInnerDiameter;
  delete EditHeight;
  delete EditTurns;
  delete EditResult;
  delete LabelTitle;
  delete MathScale;
  delete HubTorus;
  delete MathSum;
  delete GetOuter;
  delete GetInner;
  delete MathDiff;
  delete MathTimesSum;
  delete MathByDiff;
  delete MathByHeight;
  delete MathByTurns;
  delete MathPlusTurns;
  delete GetTurns;
  delete LabelPrompt;
  delete LabelOuter;
  delete LabelInner;
  delete LabelHeight;
  delete LabelTurns;
  delete LabelUnitOuter;
  delete LabelUnitInner;
  delete LabelUnitHeight;
  delete LabelTurnsHint;
  delete LabelResult;
  delete TorusPanel;
}

TZvEditMulti* NewTorusPanel(TControl* parent) { return (new TClassChildPanel_324F104(parent))->Interface; }

TClassChildPanel_324F104* TorusPanelOf(TZvEditMulti* door) {
  return door ? static_cast<TClassChildPanel_324F104*>(door->Owner) : nullptr;
}

void FreeTorusPanel(TZvEditMulti* door) { delete TorusPanelOf(door); }
