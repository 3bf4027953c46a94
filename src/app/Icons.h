#pragma once
#include <QIcon>

namespace nimbrel {

// The program's icon: a small globe with a wind pointer.
QIcon ProgramIcon();
// Toolbar images (17 x 18) for Parameters, Mark all stations, Show all
// stations and Find station.
QIcon ToolbarIcon(int commandId);

}  // namespace nimbrel
