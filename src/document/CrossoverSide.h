#pragma once

namespace kv {

// Which crossover of an output: the dialogs, the frames and the curves all speak of it.
enum class CrossoverSide : int { HighPass = 0, LowPass = 1 };

}  // namespace kv
