#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace harbormind {

// Lends threads of the process-wide pool to one scan. A pool thread that gets to the work only
// after the scan has ended leaves at once, so the scan waits only for the helpers that joined.
class ScanHelpers {
public:
    ScanHelpers() = default;
    ~ScanHelpers() { finish(); }
    ScanHelpers(const ScanHelpers&) = delete;
    ScanHelpers& operator=(const ScanHelpers&) = delete;

    // How many threads help a scan besides its own: the processors there are, within bounds.
    static int usefulCount();

    // Starts `count` pool tasks that each run `work` unless the scan has ended.
    void start(int count, const std::function<void()>& work);
    // Lets no more helpers in and waits until those inside have left.
    void finish();

private:
    struct Gate {
        std::mutex mutex;
        std::condition_variable left;
        bool closed = false;
        int inside = 0;
    };
    std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
};

}  // namespace harbormind
