#pragma once
// The start-up trace, for the benchmarks: with $TAVELIN_STARTUP_TRACE naming a file, the first
// passing of each milestone is appended to it as a line "name<TAB>microseconds since the epoch"
// (the wall clock, so that a launcher can subtract the moment it started the program). Without
// the variable nothing is recorded. It is a measuring aid, not configuration.
#include <string_view>

namespace plat {

bool StartupTraceOn();
void StartupMilestone(std::string_view name);

}  // namespace plat
