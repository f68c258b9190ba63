#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/execution/tests/sim_execution_fixture.h"
#include "desktop/sim/sim_processes.h"

namespace orvex::route_test {

using namespace std::chrono_literals;

using execution_test::Status;

// A preset run's world (SimExecutionFixture) for calling the routes and the selection
// directly: load() builds the context on a scenario.
class RouteFixture : public execution_test::SimExecutionFixture {
  protected:
    RouteFixture() : SimExecutionFixture("orvex-routes-") {}

    void load(const std::string& scenario) { buildOn(scenario); }

    const ExecutionContext& context() { return *context_; }
    PreviousAppTracker& tracker() { return *tracker_; }

    std::vector<std::string> eventNames() const {
        std::vector<std::string> names;
        for (const Json& entry : events()) {
            names.push_back(entry.at("event").get<std::string>());
        }
        return names;
    }
    // The keys pressed, such as "command+v" or "return", in order.
    std::vector<std::string> keys() const {
        std::vector<std::string> result;
        for (const Json& entry : events("keystroke")) {
            std::string chord;
            for (const Json& modifier : entry.at("modifiers")) {
                chord += modifier.get<std::string>() + "+";
            }
            result.push_back(chord + entry.at("key").get<std::string>());
        }
        return result;
    }

    std::vector<Clock::Duration> sleeps() const { return clock_.sleeps(); }
    RunningApplicationRef running(const std::string& bundleId) {
        auto apps = desktop_.runningApplications->runningApplications(bundleId);
        return apps.empty() ? nullptr : apps.front();
    }
};

}  // namespace orvex::route_test
