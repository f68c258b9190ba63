#include "desktop/linux/x11/serialized_accessibility.h"
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include <atomic>
#include <thread>

namespace orvex::linux_desktop {
namespace {

// An element that notices a second caller arriving while a first is still inside, and
// whether it is ever handed a wrapped element instead of one of its own.
class OverlapDetector : public AXElement {
  public:
    explicit OverlapDetector(std::atomic<int>& faults) : faults_(faults) {}
    AXResult copyAttribute(const std::string&) override {
        enter();
        return {AXError::success, children};
    }
    AXError isAttributeSettable(const std::string&, bool& settable) override {
        enter();
        settable = true;
        return AXError::success;
    }
    AXError setAttribute(const std::string&, const AXValue& value) override {
        enter();
        auto* element = std::get_if<AXElementRef>(&value);
        if (!element || !dynamic_cast<OverlapDetector*>(element->get())) {
            ++faults_;  // the inner tree must only ever see its own elements
        }
        return AXError::success;
    }
    std::int32_t pid() const override { return 7; }
    bool isSame(const AXElement& other) const override { return &other == this; }
    std::vector<AXElementRef> children;

  private:
    void enter() {
        if (inside_.fetch_add(1) != 0)
            ++faults_;
        for (int i = 0; i < 50; ++i) {
            std::this_thread::yield();  // widens the window a second caller could slip into
        }
        inside_.fetch_sub(1);
    }
    std::atomic<int>& faults_;
    inline static std::atomic<int> inside_{0};
};

// The tracker asks from the main thread while a run asks from its own: every call on the
// elements handed out, and on the elements they hand out in turn, takes the one lock.
TEST(SerializedAccessibility, CallsFromTwoThreadsNeverOverlap) {
    std::atomic<int> faults{0};
    auto root = std::make_shared<OverlapDetector>(faults);
    root->children = {std::make_shared<OverlapDetector>(faults),
                      std::make_shared<OverlapDetector>(faults)};
    AXElementRef wrapped = serializedElement(root, std::make_shared<std::mutex>());
    auto work = [&] {
        for (int i = 0; i < 300; ++i) {
            auto children = *wrapped->copyAttribute("AXChildren").elements();
            AXElementRef child = children[i % 2];
            bool settable = false;
            child->isAttributeSettable("AXValue", settable);
            child->setAttribute("AXFocused", AXValue(children[1 - i % 2]));
            wrapped->copyAttribute("AXRole");
        }
    };
    std::thread other(work);
    work();
    other.join();
    EXPECT_EQ(faults.load(), 0);
}

}  // namespace
}  // namespace orvex::linux_desktop
