#pragma once

#include <string_view>

#include "desktop/script/script_ast.h"

namespace orvex::script {

// Compiles script source into a tree. Throws ScriptError (kSyntax) with a message naming
// the line on anything it cannot read. Nesting deeper than `maxNesting` while reading, or a
// tree deeper than twice that, is refused rather than risking the stack.
Script parseScript(std::string_view source, int maxNesting = 100);

// Element classes the language knows, by singular name ("window"); empty when `word` (lower
// case) is not a plural class name.
std::string singularClassName(std::string_view word);
bool isClassName(std::string_view word);

}  // namespace orvex::script
