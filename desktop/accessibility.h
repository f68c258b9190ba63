#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace orvex {

// Error codes of accessibility queries. The values are those the reports print, so that a
// failure reads the same on every platform.
enum class AXError : std::int32_t {
    success = 0,
    failure = -25200,
    illegalArgument = -25201,
    invalidElement = -25202,
    cannotComplete = -25204,
    attributeUnsupported = -25205,
    notImplemented = -25208,
    apiDisabled = -25211,
    noValue = -25212,
};

struct AXPoint {
    double x = 0;
    double y = 0;
    bool operator==(const AXPoint&) const = default;
};
struct AXSize {
    double width = 0;
    double height = 0;
    bool operator==(const AXSize&) const = default;
};
struct AXRange {
    std::int64_t location = 0;
    std::int64_t length = 0;
    bool operator==(const AXRange&) const = default;
};

class AXElement;
using AXElementRef = std::shared_ptr<AXElement>;

// One attribute value. Which alternative an attribute holds follows the attribute:
// "AXRole"/"AXTitle"/... strings, "AXFocused"/"AXMinimized" booleans, "AXPosition" a point,
// "AXSize" a size, "AXSelectedTextRange" a range, "AXFocusedUIElement"/"AXFocusedWindow"/
// "AXMainWindow" an element, "AXChildren"/"AXWindows" an element list.
using AXValue = std::variant<std::monostate, std::string, bool, double, AXPoint, AXSize, AXRange,
                             AXElementRef, std::vector<AXElementRef>>;

struct AXResult {
    AXError error = AXError::success;
    AXValue value;

    bool ok() const { return error == AXError::success; }
    const std::string* string() const { return std::get_if<std::string>(&value); }
    const bool* boolean() const { return std::get_if<bool>(&value); }
    const AXPoint* point() const { return std::get_if<AXPoint>(&value); }
    const AXSize* size() const { return std::get_if<AXSize>(&value); }
    const AXRange* range() const { return std::get_if<AXRange>(&value); }
    AXElementRef element() const {
        auto* e = std::get_if<AXElementRef>(&value);
        return e ? *e : nullptr;
    }
    const std::vector<AXElementRef>* elements() const {
        return std::get_if<std::vector<AXElementRef>>(&value);
    }
};

// One node of another application's accessibility tree. Queries are synchronous and may
// be slow or fail; every failure is an AXError, never an exception.
class AXElement {
  public:
    virtual ~AXElement() = default;
    // Reads an attribute by its AX name ("AXRole", "AXChildren", ...).
    virtual AXResult copyAttribute(const std::string& name) = 0;
    // Whether the attribute can be written; `settable` is false on any error.
    virtual AXError isAttributeSettable(const std::string& name, bool& settable) = 0;
    virtual AXError setAttribute(const std::string& name, const AXValue& value) = 0;
    // The process that owns the element, 0 when unknown.
    virtual std::int32_t pid() const = 0;
    // Same underlying element (two references to one node compare equal).
    virtual bool isSame(const AXElement& other) const = 0;
};

// Entry points into accessibility.
class Accessibility {
  public:
    virtual ~Accessibility() = default;
    // Whether this process may use accessibility; with `prompt`, asks the user (or the
    // platform) to grant it.
    virtual bool isProcessTrusted(bool prompt) = 0;
    // The application-level element of a process.
    virtual AXElementRef applicationElement(std::int32_t pid) = 0;
    // The element standing for the whole desktop ("AXFocusedUIElement" is the focused
    // element of the focused application).
    virtual AXElementRef systemWideElement() = 0;
};

inline bool sameElement(const AXElementRef& a, const AXElementRef& b) {
    return a && b && a->isSame(*b);
}

}  // namespace orvex
