#pragma once

namespace nimbrel {

// The kind of the next view to be created (0 world map, 1 station graph,
// 2 result table, 3 all-stations table). Openers set it just before they
// ask for a window and put 1 back after; views read it while being created.
extern int nextViewKind;

}  // namespace nimbrel
