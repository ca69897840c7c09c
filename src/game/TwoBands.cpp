#include "game/TwoBands.h"

#include <thread>

namespace {

// Below about half a megapixel a thread costs more than it saves.
constexpr long long MinPixelsForTwo = 500'000;

} // namespace

void InTwoBands(int width, int height, const std::function<void(int top, int bottom)>& work) {
    if (static_cast<long long>(width) * height < MinPixelsForTwo ||
        std::thread::hardware_concurrency() < 2) {
        work(0, height);
        return;
    }
    const int middle = height / 2;
    std::thread upper(work, 0, middle);
    work(middle, height);
    upper.join();
}
