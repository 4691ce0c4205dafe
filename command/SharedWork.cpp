#include "command/SharedWork.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace vellomar {

void ShareAcrossTwoThreads(size_t count, const std::function<void(size_t)>& task) {
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr error;
    std::mutex errorLock;
    auto work = [&] {
        for (size_t i = next++; i < count && !failed; i = next++) {
            try {
                task(i);
            } catch (...) {
                std::lock_guard<std::mutex> lock(errorLock);
                if (!error) error = std::current_exception();
                failed = true;
            }
        }
    };
    std::thread helper;
    if (count > 1) {
        try {
            helper = std::thread(work);
        } catch (const std::system_error&) {
        }
    }
    work();
    if (helper.joinable()) helper.join();
    if (error) std::rethrow_exception(error);
}

}  // namespace vellomar
