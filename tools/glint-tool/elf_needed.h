// The shared libraries a program names in its dynamic section, read from
// the file itself so that shipping needs no binutils on the author's
// machine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace glint::tool {

// The DT_NEEDED names of a 64-bit little-endian ELF file, in file order.
// False when the bytes are not such a file or a table runs past its end.
bool readNeededLibraries(std::string_view file, std::vector<std::string>& names);

} // namespace glint::tool
