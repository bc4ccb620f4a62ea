// The decimal number reader shared by every text and configuration reader.
#pragma once

namespace glint {

// Optional "-", decimal digits, then optionally "." and more digits; stops
// at the first other character (no "+", no exponent, no blanks). Computed in
// single precision on purpose: stored data was tuned against exactly these
// values ("0.1" widens to 0.100000001490116). Null or no digits gives 0.
float parseNumber(const char* text);

} // namespace glint
