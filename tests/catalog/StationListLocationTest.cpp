#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalog/StationListLocation.h"

namespace nimbrel {
namespace {

using std::filesystem::path;

struct PlacesCase {
  const char* what;
  const char* xdgDataHome;  // null: unset
  const char* home;         // null: unset
  std::vector<path> expected;
};

const path kWork = "/tmp/work";
const path kInstalled = "/opt/nimbrel/share/nimbrel";

const PlacesCase kPlacesCases[] = {
    {"XDG_DATA_HOME set",
     "/data/me",
     "/home/me",
     {kWork / "Stations.txt", "/data/me/nimbrel/Stations.txt", kInstalled / "Stations.txt"}},
    {"XDG_DATA_HOME set, HOME unset",
     "/data/me",
     nullptr,
     {kWork / "Stations.txt", "/data/me/nimbrel/Stations.txt", kInstalled / "Stations.txt"}},
    {"XDG_DATA_HOME unset",
     nullptr,
     "/home/me",
     {kWork / "Stations.txt", "/home/me/.local/share/nimbrel/Stations.txt", kInstalled / "Stations.txt"}},
    {"XDG_DATA_HOME empty",
     "",
     "/home/me",
     {kWork / "Stations.txt", "/home/me/.local/share/nimbrel/Stations.txt", kInstalled / "Stations.txt"}},
    {"XDG_DATA_HOME relative",
     "data/me",
     "/home/me",
     {kWork / "Stations.txt", "/home/me/.local/share/nimbrel/Stations.txt", kInstalled / "Stations.txt"}},
    {"XDG_DATA_HOME and HOME unset", nullptr, nullptr, {kWork / "Stations.txt", kInstalled / "Stations.txt"}},
    {"XDG_DATA_HOME relative, HOME empty", "data", "", {kWork / "Stations.txt", kInstalled / "Stations.txt"}},
    {"HOME relative", nullptr, "me", {kWork / "Stations.txt", kInstalled / "Stations.txt"}},
};

TEST(StationListLocation, PlacesInOrderForEachEnvironment) {
  for (const PlacesCase& c : kPlacesCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(stationListPlaces(kWork, c.xdgDataHome, c.home, kInstalled), c.expected);
  }
}

TEST(StationListLocation, InstalledDataDirIsShareBesideBin) {
  struct {
    path program;
    path expected;
  } const cases[] = {
      {"/usr/bin/nimbrel", "/usr/share/nimbrel"},
      {"/usr/local/bin/nimbrel", "/usr/local/share/nimbrel"},
      {"/home/me/.local/bin/nimbrel", "/home/me/.local/share/nimbrel"},
      {"/tmp/root/usr/bin/nimbrel", "/tmp/root/usr/share/nimbrel"},
      {"build/bin/nimbrel", "build/share/nimbrel"},
      {"nimbrel", "../share/nimbrel"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program.string());
    EXPECT_EQ(installedDataDir(c.program), c.expected);
  }
}

TEST(StationListLocation, NotFoundMessageNamesEveryPlaceInOrder) {
  const std::vector<path> places = stationListPlaces(kWork, nullptr, "/home/me", installedDataDir("/usr/bin/nimbrel"));
  EXPECT_EQ(stationListNotFoundMessage(places),
            "Can not open a file \"Stations.txt\". Looked in: /tmp/work/Stations.txt, "
            "/home/me/.local/share/nimbrel/Stations.txt, /usr/share/nimbrel/Stations.txt.");
  EXPECT_EQ(stationListNotFoundMessage({}), "Can not open a file \"Stations.txt\".");
}

}  // namespace
}  // namespace nimbrel
