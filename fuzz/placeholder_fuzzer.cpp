// Placeholder filling of the localized texts. The input is the text, then "\x01"-separated
// parameter names and values ("name=value").
#include "app/i18n/locale_table.h"
#include "fuzz/fuzz_check.h"

using namespace orvex;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string_view input = fuzz::text(data, size);
    const std::string_view text = input.substr(0, input.find('\x01'));
    TextParams params;
    TextParams unchanged;  // every placeholder filled with itself
    for (std::size_t at = input.find('\x01'); at != std::string_view::npos;) {
        const std::size_t end = input.find('\x01', at + 1);
        std::string_view pair = input.substr(at + 1, end - at - 1);
        const std::size_t equals = pair.find('=');
        std::string name(pair.substr(0, equals));
        params[name] = equals == std::string_view::npos ? "" : std::string(pair.substr(equals + 1));
        unchanged[name] = "${" + name + "}";
        at = end;
    }
    (void)fillPlaceholders(text, params);
    fuzz::check(fillPlaceholders(text, {}) == text, "filling without values changes the text");
    fuzz::check(fillPlaceholders(text, unchanged) == text,
                "filling each placeholder with itself changes the text");
    return 0;
}
