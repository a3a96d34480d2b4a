#pragma once
// Data the program carries inside itself, found by name: the executable's own resources on
// Windows (RCDATA), arrays compiled in and registered at start elsewhere.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tk {

// Registers compiled-in data under `name`; the data must live as long as the program.
void RegisterResource(const std::string& name, std::span<const std::uint8_t> data);
// The registered data of that name, else the platform's resource of that name, else nothing.
std::optional<std::span<const std::uint8_t>> FindResource(const std::string& name);

}  // namespace tk
