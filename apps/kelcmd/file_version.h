#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kelcmd::app {

// What to say about a file that the library refused with "File Version is too old!", given the
// version text its format expects ("kbcFileVersion_1.00"):
//   "empty file";
//   "it is a customer command set file (ccsFileVersion_1.60)" for another format's file;
//   "File Version is too old! (kbcFileVersion_0.90)" where the file starts with a version text
//   that differs from the expected one in any character or in its length;
//   "it does not start with a version text" for anything else.
std::string VersionProblem(std::span<const uint8_t> bytes, const std::string& expectedVersion);

}  // namespace kelcmd::app
