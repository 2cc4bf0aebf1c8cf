// The torus panel's permeability chain without windows: its elements in the panel's field order,
// configured and wired as the panel schematic does, with data sources standing in for the four dimension
// edits and a sink for the result field.
#pragma once
#include <cstdint>

#include "runtime/edit_multi.h"
#include "runtime/get_data.h"
#include "runtime/hub.h"
#include "runtime/math_element.h"
#include "tests/runtime/probes.h"

inline TZv_Event Operation(TZvMath& math) { return MakeEvent<&TZvMath::doOperation>(&math); }
inline TZv_Event ResultOf(TZvMath& math) { return MakeEvent<&TZvMath::getResult>(&math); }
inline TZv_Event VarOf(TZvGetData& shared, uint16_t index) { return MakeEvent<&TZvGetData::getVar>(&shared, index); }

struct TTorusPanel {
  TZvEditMulti TorusInterface;
  TSource EditOuterDiameter, EditInnerDiameter, EditHeight, EditTurns;
  TSink EditResult;
  TZvMath MathScale;
  TZvHub HubTorus;
  TZvMath MathSum;
  TZvGetData GetOuter, GetInner;
  TZvMath MathDiff, MathTimesSum, MathByDiff, MathByHeight, MathByTurns, MathPlusTurns;
  TZvGetData GetTurns;

  TTorusPanel() {
    EditOuterDiameter.SetReal(10.0);
    EditInnerDiameter.SetReal(6.0);
    EditHeight.SetReal(3.0);
    EditTurns.SetReal(10.0);

    GetTurns.Count = 2;
    GetTurns.Data = EditTurns.Link();
    ConfigureMath(MathPlusTurns, TZvMath::opAdd, 0.0, 0.0, 0);
    MathPlusTurns.onResult = EditResult.Link();
    MathPlusTurns.Op2Link = VarOf(GetTurns, 1);
    ConfigureMath(MathByTurns, TZvMath::opDivide, 0.0, 0.0, 1);
    MathByTurns.onResult = Operation(MathPlusTurns);
    MathByTurns.Op2Link = VarOf(GetTurns, 0);
    ConfigureMath(MathByHeight, TZvMath::opDivide, 0.0, 0.0, 1);
    MathByHeight.onResult = Operation(MathByTurns);
    MathByHeight.Op2Link = EditHeight.Link();
    ConfigureMath(MathByDiff, TZvMath::opDivide, 0.0, 0.0, 1);
    MathByDiff.onResult = Operation(MathByHeight);
    MathByDiff.Op2Link = ResultOf(MathDiff);
    ConfigureMath(MathTimesSum, TZvMath::opMultiply, 0.0, 0.0, 1);
    MathTimesSum.onResult = Operation(MathByDiff);
    MathTimesSum.Op2Link = ResultOf(MathSum);
    ConfigureMath(MathDiff, TZvMath::opSubtract, 0.0, 0.0, 1);
    MathDiff.Op1Link = VarOf(GetOuter, 1);
    MathDiff.Op2Link = VarOf(GetInner, 1);
    GetInner.Count = 2;
    GetInner.Data = EditInnerDiameter.Link();
    GetOuter.Count = 2;
    GetOuter.Data = EditOuterDiameter.Link();
    ConfigureMath(MathSum, TZvMath::opAdd, 0.0, 0.0, 1);
    MathSum.Op1Link = VarOf(GetOuter, 0);
    MathSum.Op2Link = VarOf(GetInner, 0);
    HubTorus.InCount = 1;
    HubTorus.SetCount(3);
    HubTorus.onEvent[0] = Operation(MathSum);
    HubTorus.onEvent[1] = Operation(MathDiff);
    HubTorus.onEvent[2] = Operation(MathTimesSum);
    ConfigureMath(MathScale, TZvMath::opMultiply, 0.0, 2500.0, 1);
    MathScale.onResult = MakeEvent<&TZvHub::doEvent>(&HubTorus);
    TorusInterface.SetEventCount(1);
    TorusInterface.SetDataCount(0);
    TorusInterface.onEvent[0] = Operation(MathScale);
    TorusInterface.Owner = this;
  }

  void SetFields(double outer, double inner, double height, double turns) {
    EditOuterDiameter.SetReal(outer);
    EditInnerDiameter.SetReal(inner);
    EditHeight.SetReal(height);
    EditTurns.SetReal(turns);
  }
};
