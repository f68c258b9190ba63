#include "desktop/linux/x11/serialized_accessibility.h"

namespace orvex::linux_desktop {

namespace {

AXValue unwrapValue(const AXValue& value);

class SerializedElement : public AXElement {
  public:
    SerializedElement(AXElementRef inner, std::shared_ptr<std::mutex> mutex)
        : inner_(std::move(inner)), mutex_(std::move(mutex)) {}

    AXResult copyAttribute(const std::string& name) override {
        std::lock_guard lock(*mutex_);
        AXResult result = inner_->copyAttribute(name);
        wrap(result.value);
        return result;
    }
    AXError isAttributeSettable(const std::string& name, bool& settable) override {
        std::lock_guard lock(*mutex_);
        return inner_->isAttributeSettable(name, settable);
    }
    AXError setAttribute(const std::string& name, const AXValue& value) override {
        AXValue plain = unwrapValue(value);
        std::lock_guard lock(*mutex_);
        return inner_->setAttribute(name, plain);
    }
    std::int32_t pid() const override {
        std::lock_guard lock(*mutex_);
        return inner_->pid();
    }
    bool isSame(const AXElement& other) const override {
        auto* wrapped = dynamic_cast<const SerializedElement*>(&other);
        std::lock_guard lock(*mutex_);
        return inner_->isSame(wrapped ? *wrapped->inner_ : other);
    }
    const AXElementRef& inner() const { return inner_; }

  private:
    void wrap(AXValue& value) const {
        if (auto* element = std::get_if<AXElementRef>(&value)) {
            if (*element)
                *element = std::make_shared<SerializedElement>(*element, mutex_);
        } else if (auto* list = std::get_if<std::vector<AXElementRef>>(&value)) {
            for (AXElementRef& item : *list) {
                if (item)
                    item = std::make_shared<SerializedElement>(item, mutex_);
            }
        }
    }

    AXElementRef inner_;
    std::shared_ptr<std::mutex> mutex_;
};

AXElementRef innerOf(const AXElementRef& element) {
    auto* wrapped = dynamic_cast<SerializedElement*>(element.get());
    return wrapped ? wrapped->inner() : element;
}

AXValue unwrapValue(const AXValue& value) {
    if (auto* element = std::get_if<AXElementRef>(&value))
        return AXValue(innerOf(*element));
    if (auto* list = std::get_if<std::vector<AXElementRef>>(&value)) {
        std::vector<AXElementRef> plain;
        for (const AXElementRef& item : *list)
            plain.push_back(innerOf(item));
        return AXValue(plain);
    }
    return value;
}

}  // namespace

AXElementRef serializedElement(AXElementRef element, std::shared_ptr<std::mutex> mutex) {
    return std::make_shared<SerializedElement>(std::move(element), std::move(mutex));
}

SerializedAccessibility::SerializedAccessibility(AtspiOptions options) : options_(options) {
    std::lock_guard lock(*mutex_);
    refresh();
}

void SerializedAccessibility::refresh() {
    if (!desktop_ || !desktop_->connected()) {
        desktop_ = std::make_shared<AtspiDesktop>(options_);
        accessibility_ = std::make_unique<AtspiAccessibility>(desktop_);
        return;
    }
    desktop_->forgetTrees();
}

bool SerializedAccessibility::isProcessTrusted(bool prompt) {
    std::lock_guard lock(*mutex_);
    refresh();
    return accessibility_->isProcessTrusted(prompt);
}

AXElementRef SerializedAccessibility::applicationElement(std::int32_t pid) {
    std::lock_guard lock(*mutex_);
    refresh();
    AXElementRef element = accessibility_->applicationElement(pid);
    return element ? serializedElement(element, mutex_) : nullptr;
}

AXElementRef SerializedAccessibility::systemWideElement() {
    std::lock_guard lock(*mutex_);
    refresh();
    AXElementRef element = accessibility_->systemWideElement();
    return element ? serializedElement(element, mutex_) : nullptr;
}

}  // namespace orvex::linux_desktop
