#pragma once

#include <string_view>

// True when two names are equal without regard to ASCII letter case (field, component and
// message keys are matched this way throughout).
bool equalsNoCase(std::string_view a, std::string_view b) noexcept;
