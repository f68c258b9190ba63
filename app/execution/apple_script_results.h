#pragma once

#include <string>
#include <string_view>

namespace orvex {

// The text with white space and line breaks removed at both ends.
std::string trimScriptResult(std::string_view result);

// The Boolean rule: the trimmed result is exactly "true".
bool scriptResultIsTrue(std::string_view result);

// The count rule: the trimmed result is a decimal integer (optional "+" or "-") of one or
// more. Empty, non-numeric or out-of-range text counts as no window.
bool scriptResultCountsWindow(std::string_view result);

// Whether an error description says the browser may not be automated by this application.
bool isAutomationDenial(std::string_view description);

}  // namespace orvex
