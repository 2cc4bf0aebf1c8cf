// The torus panel: the inner schematic that shows the core's dimension fields and turns each level
// ratio r it receives into the permeability u = Round(2500 r (D + d) / ((D - d) H N) + N).
#pragma once

class TControl;
class TZvEdit;
class TZvEditMulti;
class TZvGetData;
class TZvHub;
class TZvLabel;
class TZvMath;
class TZvPanel;

class TClassChildPanel_324F104 {
public:
  // Builds, configures and wires the panel's elements inside parent.
  explicit TClassChildPanel_324F104(TControl* parent);
  // Destroys the door, the elements from EditOuterDiameter to LabelResult, then the panel.
  virtual ~TClassChildPanel_324F104();
  TClassChildPanel_324F104(const TClassChildPanel_324F104&) = delete;
  TClassChildPanel_324F104& operator=(const TClassChildPanel_324F104&) = delete;

  TZvEditMulti* TorusInterface;
  TZvPanel* TorusPanel;
  TZvEdit* EditOuterDiameter;
  TZvEdit* EditInnerDiameter;
  TZvEdit* EditHeight;
  TZvEdit* EditTurns;
  TZvEdit* EditResult;
  TZvLabel* LabelTitle;
  TZvMath* MathScale;
  TZvHub* HubTorus;
  TZvMath* MathSum;
  TZvGetData* GetOuter;
  TZvGetData* GetInner;
  TZvMath* MathDiff;
  TZvMath* MathTimesSum;
  TZvMath* MathByDiff;
  TZvMath* MathByHeight;
  TZvMath* MathByTurns;
  TZvMath* MathPlusTurns;
  TZvGetData* GetTurns;
  TZvLabel* LabelPrompt;
  TZvLabel* LabelOuter;
  TZvLabel* LabelInner;
  TZvLabel* LabelHeight;
  TZvLabel* LabelTurns;
  TZvLabel* LabelUnitOuter;
  TZvLabel* LabelUnitInner;
  TZvLabel* LabelUnitHeight;
  TZvLabel* LabelTurnsHint;
  TZvLabel* LabelResult;
  // What the factory hands to the multi-element.
  TZvEditMulti* Interface;
};

// The multi-element's factory: builds a torus panel inside parent and returns its door element.
TZvEditMulti* NewTorusPanel(TControl* parent);
// The panel schematic that owns door; null for none.
TClassChildPanel_324F104* TorusPanelOf(TZvEditMulti* door);
// Destroys the panel schematic that owns door, if any.
void FreeTorusPanel(TZvEditMulti* door);
