#include "toolkit/Guarded.h"

#include <stdexcept>

#include "toolkit/Application.h"

namespace tk {

void ReportToApplication(const std::exception& error) {
  if (App()) App()->HandleException(error);
}

void ReportUnknownToApplication() { ReportToApplication(std::runtime_error("Unknown exception")); }

}  // namespace tk
