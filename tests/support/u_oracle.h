// The u the instrument shows, computed apart from the program: the formula of the torus panel, and one
// table of cores and levels with the u they give, which every test that checks u runs through its own
// part of the program (the chains alone, the main schematic, the whole network, the running program).
#pragma once
#include <cstdint>
#include <ostream>

// u = Round(2500 r (D + d) / ((D - d) H N) + N) for the level ratio r = L / R, halves to even.
double ExpectedU(double r, double D, double d, double H, double N);

// A core's dimensions as typed into the panel (millimetres, turns) and the two channel levels.
struct TCoreLevels {
  double D, d, H, N, Left, Right;
};

// "D d H N L R", for a failure's trace.
std::ostream& operator<<(std::ostream& out, const TCoreLevels& c);

struct TUCase {
  TCoreLevels In;
  int32_t U;
};

// The panel's starting core with equal and unequal levels, and a core whose u falls on halves: 2500 (12 +
// 4) / (8 x 8 x 10) = 62.5, so u = 72.5 for r = 1 and 197.5 for r = 3, which round to even.
constexpr TUCase kUCases[] = {
    {{10, 6, 3, 10, 3, 3}, 343}, {{10, 6, 3, 10, 2, 4}, 177}, {{12, 4, 8, 10, 1, 1}, 72}, {{12, 4, 8, 10, 3, 1}, 198}};

// Where a divisor is 0 the chain stops and u keeps its value: D = d, H = 0, N = 0, a left level of 0 (the
// inverted ratio divides by it), a right level of 0.
constexpr TCoreLevels kStoppingCases[] = {
    {10, 10, 3, 10, 2, 4}, {10, 6, 0, 10, 2, 4}, {10, 6, 3, 0, 2, 4}, {10, 6, 3, 10, 0, 4}, {10, 6, 3, 10, 2, 0}};
