#pragma once
#include <QIcon>

namespace nimbrel {

enum class ToolbarImage { kParameters, kMarkAllStations, kShowAllStations, kFindStation, kCurrentWeather, kWatchedStations };

// The program's icon: a small globe with a wind pointer.
QIcon programIcon();
// Toolbar images (17 x 18 at scale 1), drawn from SVG at any size and scale.
QIcon toolbarIcon(ToolbarImage image);

}  // namespace nimbrel
