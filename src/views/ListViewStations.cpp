#include "views/ListViewStations.h"

namespace nimbrel {

CListView_Stations::CListView_Stations() = default;

}  // namespace nimbrel
