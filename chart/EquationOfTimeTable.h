// Equation of time (apparent minus mean solar time) in minutes by day index k = 0..365 of a
// leap year, counted from 1 January (index 59 is 29 February). Generated table.
#pragma once
#include <array>

extern const std::array<float, 366> EquationOfTimeTable;
