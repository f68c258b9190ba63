#pragma once

#include <future>
#include <type_traits>

#include "base/main_queue.h"

namespace orvex {

// Reads main-thread state from a task: the read is posted to the main queue and the task
// waits for its answer. On the main thread itself (tests run tasks inline there) the read
// happens at once. Never call it from a task the main thread is waiting for.
template <class Read>
auto readOnMainThread(MainQueue& mainQueue, Read read) -> std::invoke_result_t<Read> {
    if (mainQueue.isMainThread()) {
        return read();
    }
    using Value = std::invoke_result_t<Read>;
    auto promise = std::make_shared<std::promise<Value>>();
    std::future<Value> answer = promise->get_future();
    mainQueue.post([promise, read = std::move(read)]() mutable { promise->set_value(read()); });
    return answer.get();
}

}  // namespace orvex
