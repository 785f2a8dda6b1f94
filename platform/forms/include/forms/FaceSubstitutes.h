#pragma once

namespace forms {

// The faces that window designs and meters name (Arial, MS Sans Serif, ...) are not installed
// on Linux. Each is mapped to its metric-compatible Liberation face, which the set-up script
// installs, so that texts keep their designed widths on every machine whatever the user's
// font configuration says about those names. Safe to call any number of times, from any
// library that makes fonts; the first call installs the mapping for the whole process.
void installFaceSubstitutes();

} // namespace forms
