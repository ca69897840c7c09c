#pragma once

#include <functional>

// Splits rows 0..height into an upper and a lower band and works on both at once, the upper on
// a thread of its own, when there are enough pixels for a second core to pay off; otherwise
// works on all the rows in one go. Returns once both bands are done.
void InTwoBands(int width, int height, const std::function<void(int top, int bottom)>& work);
