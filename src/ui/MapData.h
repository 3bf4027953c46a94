#pragma once
// The vector map's three scales, read from the program's resources once on
// first need and shared by every map window.
#include <cstddef>

namespace nimbrel {

class VectorMap;

// The scale asked for (0 coarsest .. 2 finest), or the finest coarser one
// that could be read; null when none could.
const VectorMap* loadedMapScale(int level);
// Bytes the scales read so far take.
std::size_t loadedMapDataBytes();
// Registers the resources the map's picture and data live in.
void registerMapResources();

}  // namespace nimbrel
