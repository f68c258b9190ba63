#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "desktop/accessibility.h"

namespace orvex::inputaim {

// A frame in screen coordinates, origin top left, y growing downwards.
struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double minX() const { return x; }
    double minY() const { return y; }
    double maxX() const { return x + width; }
    double maxY() const { return y + height; }
    bool operator==(const Rect&) const = default;
};

struct Candidate {
    AXElementRef element;
    Rect frame;
    std::string name;
    bool settable = false;
};

// The walk stops testing elements after this many steps.
inline constexpr int maxWalkSteps = 8000;
// The only role that becomes a candidate.
inline constexpr const char* inputRole = "AXTextArea";
// Containers whose children are never walked: message lists and tables hold many text
// areas (one per bubble) that are never the input.
const std::set<std::string>& skipRoles();

// The attribute's value, or nothing on any error or an empty value.
std::optional<AXValue> attr(AXElement& element, const std::string& name);

// The application's front window: focused, else main, else the first of its windows.
AXElementRef frontWindow(AXElement& app);

// Position and size of an element, when both are present and of the right kind.
std::optional<Rect> rect(AXElement& element);

// Description, placeholder and title, those present joined by single spaces.
std::string label(AXElement& element);

// Whether a candidate frame lies vertically within the window (2 points of slack) and
// overlaps it horizontally, and is large enough to be an input.
bool isVisible(const Rect& frame, const Rect& window);

// The depth-first pre-order walk over one window.
class Collector {
  public:
    void collect(const AXElementRef& root);

    const std::vector<Candidate>& candidates() const { return candidates_; }
    int visited() const { return visited_; }
    // Web areas met with no children: what a browser shows when its renderer keeps its
    // accessibility tree to itself.
    int emptyWebAreas() const { return emptyWebAreas_; }

  private:
    // One step: tests the element and gives the children still to walk.
    std::vector<AXElementRef> step(AXElement& element);

    std::vector<Candidate> candidates_;
    int visited_ = 0;
    int emptyWebAreas_ = 0;
};

// Keeps only the settable candidates when there is at least one.
std::vector<Candidate> preferSettable(std::vector<Candidate> visible);
// Keeps only the candidates whose name contains the hint, when any does.
std::vector<Candidate> narrowByHint(std::vector<Candidate> pool, const std::string& hint);
// The lowest candidate (greatest max y), the widest on a tie, the earliest after that.
std::optional<Candidate> choose(const std::vector<Candidate>& pool);

struct SearchResult {
    Rect windowFrame;
    std::vector<Candidate> candidates;
    int visited = 0;
    int emptyWebAreas = 0;
    std::vector<Candidate> visible;
    std::optional<Candidate> chosen;
};

// Walks the window, filters and chooses.
SearchResult searchWindow(const AXElementRef& window, const Rect& windowFrame,
                          const std::string& hint);

}  // namespace orvex::inputaim
