// The Wine test executable's main: GoogleTest with a time limit per test. A test that has not
// ended after the limit is written down as hung and the process ends, so a hang fails one
// test instead of the whole run; with a progress file the runner starts the executable again
// and it goes on after the tests already written there.
//     restwell_win_tests.exe [GoogleTest flags] [--rw_progress=FILE] [--rw_limit=SECONDS]
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace {

// One line per event, appended and closed at once so that it survives the process's end.
void Append(const std::string& file, const std::string& line) {
    if (file.empty()) return;
    if (FILE* f = std::fopen(file.c_str(), "ab")) {
        std::fputs((line + "\n").c_str(), f);
        std::fclose(f);
    }
}

std::string FullName(const testing::TestInfo& test) {
    return std::string(test.test_suite_name()) + "." + test.name();
}

class TimeLimit : public testing::EmptyTestEventListener {
public:
    TimeLimit(std::string progress, int seconds)
        : progress_(std::move(progress)), limit_(seconds), watcher_([this] { Watch(); }) {}
    ~TimeLimit() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        changed_.notify_all();
        watcher_.join();
    }

    void OnTestStart(const testing::TestInfo& test) override {
        Append(progress_, "START " + FullName(test));
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = FullName(test);
        deadline_ = std::chrono::steady_clock::now() + limit_;
        changed_.notify_all();
    }
    void OnTestEnd(const testing::TestInfo& test) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            running_.clear();
        }
        changed_.notify_all();
        Append(progress_, (test.result()->Passed() ? "PASS " : "FAIL ") + FullName(test));
    }

private:
    void Watch() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!done_) {
            if (running_.empty()) {
                changed_.wait(lock);
            } else if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && !running_.empty() &&
                       std::chrono::steady_clock::now() >= deadline_) {
                const std::string message = running_ + " did not end within " + std::to_string(limit_.count()) +
                                            " s: it fails, and the run goes on without it";
                std::fprintf(stderr, "[  HANG  ] %s\n", message.c_str());
                std::fflush(stderr);
                std::fflush(stdout);
                Append(progress_, "HANG " + running_);
                TerminateProcess(GetCurrentProcess(), 3);
            }
        }
    }

    std::string progress_;
    std::chrono::seconds limit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string running_;
    std::chrono::steady_clock::time_point deadline_;
    bool done_ = false;
    std::thread watcher_;
};

// Tests named in the progress file of an earlier start are left out of this one.
void SkipTestsDone(const std::string& progress) {
    std::ifstream in(progress);
    std::set<std::string> done;
    for (std::string line; std::getline(in, line);) {
        const size_t space = line.find(' ');
        if (space != std::string::npos) done.insert(line.substr(space + 1));
    }
    if (done.empty()) return;
    std::string filter = GTEST_FLAG_GET(filter);
    filter += filter.find('-') == std::string::npos ? "-" : ":";
    for (const std::string& name : done) filter += name + ":";
    filter.pop_back();
    GTEST_FLAG_SET(filter, filter);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::string progress;
    int seconds = 60;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--rw_progress=", 0) == 0) progress = arg.substr(14);
        if (arg.rfind("--rw_limit=", 0) == 0) seconds = std::max(1, std::atoi(arg.c_str() + 11));
    }
    if (!progress.empty()) SkipTestsDone(progress);
    testing::UnitTest::GetInstance()->listeners().Append(new TimeLimit(progress, seconds));
    return RUN_ALL_TESTS();
}
