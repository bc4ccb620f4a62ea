// One-time system start-up and the facts it gathers.
#pragma once

#include <string>

namespace glint {

// Starts the system services once: describes the OS in the log, starts the
// clock, fixes the data path and makes it the working directory, reads the
// user name, and initialises the resource layer. gameDir is the game folder
// given on the command line; when null or empty the executable's folder is
// the data path. Returns false when that folder cannot be used (logged).
bool systemInit(const char* gameDir = nullptr);
bool systemInitialized();

const char* osDescription();
// UTF-8, without a trailing separator.
const char* dataPath();
const char* userName();

// Describes a Linux system from uname fields and the os-release PRETTY_NAME
// (empty when unknown), at most 255 characters.
std::string describeOs(const std::string& sysname, const std::string& release, const std::string& machine,
                       const std::string& prettyName);

// Forgets the start-up so that tests can run it again with another folder.
void systemResetForTests();

} // namespace glint
