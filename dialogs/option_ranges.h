// The values the Options dialog allows for its numbers, without any Windows
// header: the settings read from the file are brought into the same ranges.
#pragma once

namespace options {
constexpr int kMinTabStops = 1;    // the tab width's spin range
constexpr int kMaxTabStops = 255;
}  // namespace options
