#include "app/notifications/notification_center.h"

namespace orvex {

NotificationCenter::NotificationCenter(MainQueue& mainQueue) : mainQueue_(mainQueue) {}

NotificationCenter::Token NotificationCenter::addObserver(const std::string& name,
                                                          Observer observer) {
    std::lock_guard lock(mutex_);
    Token token = nextToken_++;
    observers_.emplace(token, std::make_pair(name, std::move(observer)));
    return token;
}

void NotificationCenter::removeObserver(Token token) {
    std::lock_guard lock(mutex_);
    observers_.erase(token);
}

void NotificationCenter::post(std::string name, std::optional<PresetData> preset) {
    AppNotification notification{std::move(name), std::move(preset)};
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.post([this, alive, notification = std::move(notification)] {
        if (alive.lock()) {
            deliver(notification);
        }
    });
}

void NotificationCenter::deliver(const AppNotification& notification) {
    std::vector<Observer> matching;
    {
        std::lock_guard lock(mutex_);
        for (auto& [token, entry] : observers_) {
            if (entry.first == notification.name) {
                matching.push_back(entry.second);
            }
        }
    }
    for (auto& observer : matching) {
        observer(notification);
    }
}

}  // namespace orvex
