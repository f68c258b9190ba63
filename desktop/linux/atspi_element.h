#pragma once

#include <memory>
#include <optional>
#include <string>

#include "desktop/accessibility.h"
#include "desktop/linux/atspi_tree.h"

namespace orvex::linux_desktop {

// An AT-SPI object answering the AX attribute names. The application object (the root)
// also answers "AXWindows" (its showing top-levels), "AXFocusedWindow" (the active one),
// "AXMainWindow" (the first showing, not minimized one) and "AXFocusedUIElement".
class AtspiElement : public AXElement {
  public:
    AtspiElement(std::shared_ptr<AtspiApplicationTree> tree, std::string path);

    AXResult copyAttribute(const std::string& name) override;
    AXError isAttributeSettable(const std::string& name, bool& settable) override;
    AXError setAttribute(const std::string& name, const AXValue& value) override;
    std::int32_t pid() const override { return tree_->pid(); }
    bool isSame(const AXElement& other) const override;

    const std::string& path() const { return path_; }
    const std::string& busName() const { return tree_->busName(); }
    bool isApplication() const { return path_ == rootPath; }

    // The focused object under this one: the collection interface where the toolkit has
    // it, else a bounded walk that prefers a text input when several objects say focused.
    AXElementRef focusedDescendant();

  private:
    AXElementRef element(const std::string& path) const;
    AXResult role();
    AXResult windows(bool onlyActive, bool skipMinimized);
    AXResult frame(bool position);
    AXResult stateFlag(int state);
    AXResult nonEmpty(Answer<std::string> answer);
    AXError focus();
    std::optional<std::string> walkForFocus(const std::string& from);

    std::shared_ptr<AtspiApplicationTree> tree_;
    std::string path_;
    // "AXPosition" and "AXSize" are read in pairs; one request answers both.
    std::optional<ScreenFrame> pendingFrame_;
};

}  // namespace orvex::linux_desktop
