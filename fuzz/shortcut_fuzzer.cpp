// Shortcut strings come from settings files and orvex-cli: whatever registers must have a
// canonical form that registers as the same key and modifiers.
#include "app/shortcuts/shortcut_strings.h"
#include "fuzz/fuzz_check.h"

using namespace orvex;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view text = fuzz::text(data, size);
    (void)displayString(text);
    (void)keyboardText(text);
    auto parsed = parseShortcut(text);
    if (!parsed) {
        return 0;
    }
    fuzz::check((parsed->modifiers & ~(cmdKey | shiftKey | optionKey | controlKey)) == 0,
                "a parsed shortcut has modifier bits no backend knows");
    auto canonical = canonicalShortcut(parsed->modifiers, parsed->keyCode);
    if (!canonical) {
        return 0;
    }
    fuzz::check(parseShortcut(*canonical) == parsed, "the canonical form parses differently");
    fuzz::check(canonicalShortcut(parsed->modifiers, parsed->keyCode) == canonical,
                "the canonical form is not stable");
    return 0;
}
