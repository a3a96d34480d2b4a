#pragma once
// Nothing an event handler throws may leave a window procedure, a peer's report or the message
// loop: Guarded runs the handler and hands whatever it throws to the application's exception box.
#include <exception>
#include <type_traits>

namespace tk {

// Shows `error` in the application's exception box (nothing while there is no application).
void ReportToApplication(const std::exception& error);
// The same for something thrown that is not a std::exception.
void ReportUnknownToApplication();

// Returns what `body` returns, or a value-initialised result when it threw.
template <typename F>
std::invoke_result_t<F&> Guarded(F&& body) {
  try {
    return body();
  } catch (const std::exception& e) {
    ReportToApplication(e);
  } catch (...) {
    ReportUnknownToApplication();
  }
  if constexpr (!std::is_void_v<std::invoke_result_t<F&>>) return {};
}

}  // namespace tk
