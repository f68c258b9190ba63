#include "testing/source_tree.h"

#include <cstdlib>

namespace orvex::testing {

namespace {

std::filesystem::path fromEnvironment(const char* name, const char* builtWith) {
    const char* value = std::getenv(name);
    return value && *value ? value : builtWith;
}

}  // namespace

std::filesystem::path sourceDir() {
    return fromEnvironment("ORVEX_SOURCE_DIR", ORVEX_TESTING_SOURCE_DIR);
}

std::filesystem::path binaryDir() {
    return fromEnvironment("ORVEX_BINARY_DIR", ORVEX_TESTING_BINARY_DIR);
}

std::string builtProgram(const std::string& name) {
    return (binaryDir() / "bin" / name).string();
}

}  // namespace orvex::testing
