#pragma once
// A deterministic, realistic C source for the benchmarks: functions indented with spaces,
// comments, and a jump marker here and there. Portable.

#include <cstddef>
#include <string>

// About `units` UTF-16 units of C source with CR LF line ends, cut at a line end.
std::u16string SampleCSource(std::size_t units);
