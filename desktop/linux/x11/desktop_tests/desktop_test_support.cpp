#include "desktop/linux/x11/desktop_tests/desktop_test_support.h"

#include <stdlib.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <fstream>
#include <iterator>
#include <thread>

namespace orvex::testing {

namespace fs = std::filesystem;

std::string binary(const std::string& name) {
    const char* dir = std::getenv("ORVEX_BINARY_DIR");
    return std::string(dir ? dir : ".") + "/bin/" + name;
}

void PumpedMainQueue::post(Work work) {
    std::lock_guard lock(mutex_);
    entries_.push_back({clock_.now(), {}, nullptr, std::move(work)});
}

TimerRef PumpedMainQueue::postAfter(Clock::Duration delay, Work work) {
    auto timer = std::make_shared<Timer>();
    std::lock_guard lock(mutex_);
    entries_.push_back({clock_.now() + delay, {}, timer, std::move(work)});
    return timer;
}

TimerRef PumpedMainQueue::repeatEvery(Clock::Duration interval, Work work) {
    auto timer = std::make_shared<Timer>();
    std::lock_guard lock(mutex_);
    entries_.push_back({clock_.now() + interval, interval, timer, std::move(work)});
    return timer;
}

bool PumpedMainQueue::isMainThread() const {
    return true;
}

bool PumpedMainQueue::runReady() {
    std::vector<Entry> ready;
    {
        std::lock_guard lock(mutex_);
        auto now = clock_.now();
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (it->due <= now) {
                ready.push_back(std::move(*it));
                it = entries_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (Entry& entry : ready) {
        if (entry.timer && entry.timer->isCancelled())
            continue;
        entry.work();
        if (entry.interval.count() > 0) {
            std::lock_guard lock(mutex_);
            entries_.push_back({clock_.now() + entry.interval, entry.interval, entry.timer,
                                std::move(entry.work)});
        }
    }
    return !ready.empty();
}

bool pumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit,
               PumpedMainQueue* queue) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (queue)
            queue->runReady();
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
}

void pumpFor(std::chrono::milliseconds duration, PumpedMainQueue* queue) {
    pumpUntil([] { return false; }, duration, queue);
}

TempDirectory::TempDirectory() {
    std::string pattern = (fs::temp_directory_path() / "orvex-x11-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        path_ = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code error;
    if (!path_.empty())
        fs::remove_all(path_, error);
}

void writeDesktopEntry(const fs::path& dataHome, const std::string& id, const std::string& name,
                       const std::string& exec, const std::string& extra) {
    fs::create_directories(dataHome / "applications");
    std::ofstream(dataHome / "applications" / (id + ".desktop"))
        << "[Desktop Entry]\nType=Application\nName=" << name << "\nExec=" << exec << "\n"
        << extra;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int runInputaim(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{binary("inputaim")};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runChild(command, {}, 20s).exitCode;
}

std::unique_ptr<BackgroundChild> startWindow(const std::vector<std::string>& command,
                                             const std::map<std::string, std::string>& env) {
    auto child = std::make_unique<BackgroundChild>(command, env);
    if (!child->waitUntilReady(15s))
        return nullptr;
    return child;
}

}  // namespace orvex::testing
