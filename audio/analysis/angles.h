// pi and degrees per radian, shared by the analysis: phases are computed in radians and shown in degrees.
#pragma once

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegreesPerRadian = 180 / kPi;
