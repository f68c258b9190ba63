#include "tools/inputaim/inputaim_program.h"

#include <optional>

#include "base/version.h"
#include "tools/inputaim/input_search.h"
#include "tools/inputaim/inputaim_arguments.h"
#include "tools/inputaim/inputaim_report.h"

namespace orvex::inputaim {

namespace {

RunningApplicationRef resolveTarget(const InputaimOptions& options,
                                    RunningApplications& applications) {
    RunningApplicationRef app;
    if (options.bundleIdentifier) {
        auto matching = applications.runningApplications(*options.bundleIdentifier);
        if (!matching.empty())
            app = matching.front();
    } else {
        app = applications.frontmostApplication();
    }
    if (app && app->isTerminated())
        return nullptr;
    return app;
}

bool treeLooksWithheld(const SearchResult& result) {
    return result.candidates.empty() && (result.visited <= 1 || result.emptyWebAreas > 0);
}

int report(const RunningApplication& app, const SearchResult& result, const std::string& hint,
           std::ostream& out, std::ostream& err) {
    out << reportHeader(app.localizedName(), result.windowFrame, result.visited);
    out << reportCounts(result.candidates.size(), result.visible.size(), hint);
    for (const Candidate& candidate : result.candidates) {
        bool chosen = result.chosen && sameElement(candidate.element, result.chosen->element);
        out << reportCandidate(candidate, chosen, isVisible(candidate.frame, result.windowFrame));
    }
    if (treeLooksWithheld(result)) {
        err << "the window's accessibility tree is empty: Chromium and Electron applications "
               "expose it only when started with --force-renderer-accessibility\n";
    }
    out.flush();
    return result.chosen ? 0 : 1;
}

int focus(const SearchResult& result, std::ostream& out, std::ostream& err) {
    if (!result.chosen) {
        err << "input field not found (found=" << result.candidates.size()
            << " visible=" << result.visible.size() << " visited=" << result.visited << ")\n";
        return 1;
    }
    AXError error = result.chosen->element->setAttribute("AXFocused", AXValue{true});
    if (error != AXError::success) {
        err << "setFocused failed: " << static_cast<std::int32_t>(error) << "\n";
        return 1;
    }
    out << "focused \"" << result.chosen->name << "\"\n";
    out.flush();
    return 0;
}

}  // namespace

std::variant<InputaimOptions, int> optionsOrAnswer(const std::vector<std::string>& arguments,
                                                   std::ostream& out, std::ostream& err) {
    ParsedArguments parsed = parseArguments(arguments);
    if (!parsed.options) {
        err << parsed.error;
        return 2;
    }
    if (parsed.options->help || parsed.options->version) {
        out << (parsed.options->help ? std::string(kInputaimUsage)
                                     : std::string("inputaim ") + kOrvexVersion + "\n");
        out.flush();
        return 0;
    }
    return *parsed.options;
}

int runInputaim(const std::vector<std::string>& arguments, RunningApplications& applications,
                Accessibility& accessibility, std::ostream& out, std::ostream& err) {
    const auto parsed = optionsOrAnswer(arguments, out, err);
    if (const int* answered = std::get_if<int>(&parsed)) {
        return *answered;
    }
    const InputaimOptions& options = std::get<InputaimOptions>(parsed);

    RunningApplicationRef app = resolveTarget(options, applications);
    if (!app) {
        err << "app not running: " << options.bundleIdentifier.value_or("frontmost") << "\n";
        return 1;
    }
    AXElementRef axApp = accessibility.applicationElement(app->processIdentifier());
    AXElementRef window = axApp ? frontWindow(*axApp) : nullptr;
    std::optional<Rect> windowFrame = window ? rect(*window) : std::nullopt;
    if (!windowFrame) {
        err << "no window\n";
        return 1;
    }

    SearchResult result = searchWindow(window, *windowFrame, options.hint);
    return options.list ? report(*app, result, options.hint, out, err) : focus(result, out, err);
}

}  // namespace orvex::inputaim
