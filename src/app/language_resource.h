#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace purvex::app {

// The bytes of a language table compiled into the module that holds this code. Resource
// memory lives as long as the module, so the view never dangles. Nothing when it is missing.
std::optional<std::string_view> LanguageResourceBytes(std::uint16_t resourceId);

}  // namespace purvex::app
