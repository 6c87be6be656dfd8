#pragma once
// Drag-and-drop reordering of the preset tree. The tree's items carry data 0 for the
// root and 1..10 for the preset positions; a dragged preset ends directly after the
// item it is dropped on, by walking it through its neighbours one swap at a time.

#include <array>
#include <cstdint>

#include "document/PresetBank.h"

namespace kv {

using PresetOrderArray = std::array<std::int16_t, kPresetCount>;

// Moves the preset of item data `draggedData` (1..10) to just after the item of data
// `dropData` (0 = root, 1..10). Only the order changes. Returns true when an entry moved;
// a drop on the item itself or on the one just above it, or any out-of-range data,
// leaves the order as it was.
bool movePresetAfter(PresetOrderArray& order, int draggedData, int dropData);

}  // namespace kv
