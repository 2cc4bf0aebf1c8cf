// The torus panel's permeability chain, one function per element: its settings and the links it makes.
// The panel schematic calls them in its configuration order; the tests build the same chain natively,
// with stand-ins for the dimension fields' data outputs and the result field's text input. Each ratio r
// arriving at the door runs
//   door -> scale (2500 r) -> hub -> sum (D + d), difference (D - d), then
//     times sum -> by difference -> by height H -> by turns N -> plus N (rounded) -> result field
// where D, d and N are each read through a shared reader, afresh at every use.
#pragma once

struct TZv_Event;
class TZvEditMulti;
class TZvGetData;
class TZvHub;
class TZvMath;

// Plus N, rounded to an integer (halves to even), into the result field's text input.
void WirePlusTurns(TZvMath* plusTurns, TZvGetData* turns, const TZv_Event& resultField);
void WireByTurns(TZvMath* byTurns, TZvGetData* turns, TZvMath* plusTurns);
// Divided by the height field's data output.
void WireByHeight(TZvMath* byHeight, const TZv_Event& heightField, TZvMath* byTurns);
void WireByDifference(TZvMath* byDifference, TZvMath* difference, TZvMath* byHeight);
void WireTimesSum(TZvMath* timesSum, TZvMath* sum, TZvMath* byDifference);
// D - d; it fires nothing, the next division reads its Result.
void WireDifference(TZvMath* difference, TZvGetData* outer, TZvGetData* inner);
// A shared reader of one dimension field's data output.
void WireFieldReader(TZvGetData* reader, const TZv_Event& field);
// D + d; it fires nothing, the product reads its Result.
void WireSum(TZvMath* sum, TZvGetData* outer, TZvGetData* inner);
// The scaled ratio goes to the sum, the difference and the product, in that order.
void WireTorusHub(TZvHub* hub, TZvMath* sum, TZvMath* difference, TZvMath* timesSum);
// 2500 r, on to the hub.
void WireScale(TZvMath* scale, TZvHub* hub);
// The door's one output feeds the scale.
void WireTorusDoor(TZvEditMulti* door, TZvMath* scale);
