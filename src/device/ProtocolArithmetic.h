#pragma once

#include <cstdint>

// The protocol page works in milliseconds; the controller and the profile in
// tenths of a millisecond. Neither direction rounds to nearest: the controller's
// own tools truncate, and an operator who types 2.55 ms gets 25 tenths.

// Milliseconds to tenths, truncated toward zero. Values beyond 32 bits saturate
// (a typed 1e300 would otherwise be undefined), and NaN gives 0.
int32_t ToTenths(double milliseconds);
// Tenths to milliseconds: tenths times the constant 0.1.
double ToMilliseconds(int64_t tenths);

// The resting time in tenths that a cycle time leaves, from the values in ms:
// ct - (it1 + dt) with one wavelength, ct - (dt + dt + it2 + it1) with two. The
// difference is converted once, so a shortfall under 0.1 ms reads as 0.
int32_t RestingTenths(double ct, double dt, double it1, double it2, bool singleWavelength);

// The cycle time (ms) that makes a too short cycle whole again: it2 + 2 dt + it1,
// all in tenths. With one wavelength it2 is 0, so the resting time becomes dt.
double CorrectedCycle(int32_t dt, int32_t it1, int32_t it2);

// The cycle time (ms) of a protocol read back from the controller (tenths):
// dt + it1 + it2 + rest with one wavelength, 2 dt + it1 + it2 + rest with two.
double ReadBackCycle(int32_t dt, int32_t it1, int32_t it2, int32_t rest, bool singleWavelength);

// The cycle time (ms) of a protocol as it was sent or corrected (tenths):
// rest + it1 + dt with one wavelength, rest + 2 dt + it2 + it1 with two.
double AppliedCycle(int32_t dt, int32_t it1, int32_t it2, int32_t rest, bool singleWavelength);
