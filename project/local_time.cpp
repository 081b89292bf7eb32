#include "project/local_time.h"

#include <ctime>

std::string LocalTimeIso8601(std::chrono::system_clock::time_point when) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(when.time_since_epoch());
    const auto time = static_cast<std::time_t>(seconds.count());
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) return {};
    // Only numeric fields: no locale changes their digits.
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    if (length < 5) return {};
    // %z writes "+0100"; ISO 8601's extended form wants "+01:00".
    std::string result(text, length);
    result.insert(result.size() - 2, 1, ':');
    return result;
}
