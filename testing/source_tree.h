#pragma once

#include <filesystem>
#include <string>

namespace orvex::testing {

// The checkout and the build folder: from ORVEX_SOURCE_DIR and ORVEX_BINARY_DIR, as ctest
// sets them, else the ones this test library was built from (a test binary run by hand).
std::filesystem::path sourceDir();
std::filesystem::path binaryDir();
// A program the build made: <build>/bin/<name>.
std::string builtProgram(const std::string& name);

}  // namespace orvex::testing
