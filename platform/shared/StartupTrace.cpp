#include "platform/startup_trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>

namespace plat {
namespace {

struct Trace {
  std::mutex lock;
  std::FILE* file = nullptr;
  std::set<std::string> passed;
};

Trace* OpenTrace() {
  const char* path = std::getenv("TAVELIN_STARTUP_TRACE");
  if (!path || !*path) return nullptr;
  auto* trace = new Trace;  // lives as long as the program: milestones may come from any exit path
  trace->file = std::fopen(path, "a");
  return trace;
}

Trace* TheTrace() {
  static Trace* const trace = OpenTrace();
  return trace;
}

// The program's own code starts once every library it links is loaded and initialised.
const bool linked = [] {
  StartupMilestone("dynamic linking done");
  return true;
}();

}  // namespace

bool StartupTraceOn() { return TheTrace() != nullptr; }

void StartupMilestone(std::string_view name) {
  Trace* trace = TheTrace();
  if (!trace || !trace->file) return;
  const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  std::lock_guard g(trace->lock);
  if (!trace->passed.emplace(name).second) return;
  std::fprintf(trace->file, "%.*s\t%lld\n", static_cast<int>(name.size()), name.data(), static_cast<long long>(now.count()));
  std::fflush(trace->file);
}

}  // namespace plat
