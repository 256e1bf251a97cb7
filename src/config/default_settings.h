// The settings document built into the viewer, read when "Orbisline.obs" is
// missing or empty: one line in the settings tag syntax.
#pragma once

#include <cstddef>

namespace orbis {

extern const char defaultSettingsText[];
extern const std::size_t defaultSettingsTextLength;

}  // namespace orbis
