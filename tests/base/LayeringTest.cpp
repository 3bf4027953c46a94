// The layers of src/ include only downwards: metar (the decoders, standard
// C++ only) and base at the bottom, then catalog < map < observations and
// charts (side by side, neither includes the other) < stationchart and watch
// (side by side too) <
// services (QtCore objects with signals: no QtGui, no Qt Widgets) < render
// (the Qt painter, QtGui only) < ui.
// reportstore (the SQLite report store) uses only metar and base; the
// observations above use it, the charts never do.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

const std::map<std::string, int> kLevel = {
    {"base", 0},         {"metar", 0},  {"catalog", 1},      {"reportstore", 1}, {"map", 2},
    {"observations", 3}, {"charts", 3}, {"stationchart", 4}, {"watch", 4}, {"services", 5}, {"render", 6},
    {"ui", 7},
};

// Whether a file in folder `from` may include a header of folder `to`.
// Unknown folders are refused, so a new folder must be given its place.
bool mayInclude(const std::string& from, const std::string& to) {
  const auto fromLevel = kLevel.find(from);
  const auto toLevel = kLevel.find(to);
  if (fromLevel == kLevel.end() || toLevel == kLevel.end()) return false;
  if (from == to) return true;
  if (from == "metar") return to == "base";
  if (from == "reportstore") return to == "base" || to == "metar";
  if (to == "reportstore" && from == "charts") return false;
  return toLevel->second < fromLevel->second;
}

TEST(Layering, TheRuleItself) {
  struct Case {
    const char* from;
    const char* to;
    bool allowed;
  };
  const Case cases[] = {
      {"base", "base", true},
      {"base", "catalog", false},
      {"catalog", "base", true},
      {"catalog", "observations", false},
      {"catalog", "metar", true},
      {"catalog", "map", false},
      {"map", "catalog", true},
      {"map", "charts", false},
      {"charts", "map", true},
      {"base", "metar", false},
      {"observations", "catalog", true},
      {"observations", "charts", false},
      {"charts", "observations", false},
      {"charts", "catalog", true},
      {"observations", "metar", true},
      {"metar", "observations", false},
      {"metar", "base", true},
      {"metar", "catalog", false},
      {"charts", "metar", true},
      {"reportstore", "metar", true},
      {"reportstore", "observations", false},
      {"reportstore", "catalog", false},
      {"observations", "reportstore", true},
      {"charts", "reportstore", false},
      {"stationchart", "observations", true},
      {"stationchart", "charts", true},
      {"stationchart", "metar", true},
      {"stationchart", "ui", false},
      {"ui", "stationchart", true},
      {"services", "stationchart", true},
      {"services", "observations", true},
      {"services", "ui", false},
      {"watch", "charts", true},
      {"watch", "reportstore", true},
      {"watch", "stationchart", false},
      {"services", "watch", true},
      {"ui", "services", true},
      {"stationchart", "services", false},
      {"charts", "services", false},
      {"ui", "base", true},
      {"ui", "render", true},
      {"render", "ui", false},
      {"stationchart", "render", false},
      {"render", "services", true},
      {"services", "render", false},
      {"catalog", "views", false},
      {"platform", "base", false},
  };
  for (const Case& c : cases) EXPECT_EQ(mayInclude(c.from, c.to), c.allowed) << c.from << " -> " << c.to;
}

// The folder of a quoted include ("catalog/Station.h" -> "catalog"); none
// for an include without a folder, which stays in the including folder.
std::optional<std::string> includedFolder(const std::string& line) {
  static const std::regex include(R"re(^\s*#\s*include\s*"([^"]*)")re");
  std::smatch match;
  if (!std::regex_search(line, match, include)) return std::nullopt;
  const std::string path = match[1];
  const std::size_t slash = path.find('/');
  if (slash == std::string::npos) return std::nullopt;
  return path.substr(0, slash);  // ".." is no layer and so never allowed
}

TEST(Layering, IncludeLinesAreRecognised) {
  EXPECT_EQ(includedFolder("#include \"catalog/Station.h\""), "catalog");
  EXPECT_EQ(includedFolder("  #  include \"ui/res/x.h\"  // why"), "ui");
  EXPECT_EQ(includedFolder("#include \"../charts/Chart.h\""), "..");
  EXPECT_EQ(includedFolder("#include \"Text.h\""), std::nullopt);
  EXPECT_EQ(includedFolder("#include <curl/curl.h>"), std::nullopt);
  EXPECT_EQ(includedFolder("// #include \"ui/MainWindow.h\""), std::nullopt);
}

// Qt headers of the window system (QtGui, QtWidgets, printing) by their
// usual names; the services and the core stay free of them.
bool isWindowSystemHeader(const std::string& line) {
  static const std::regex header(
      R"re(^\s*#\s*include\s*<(QtGui|QtWidgets|QtPrintSupport|QtSvg)?/?(Q(Widget|Action|Menu|MenuBar|Mdi\w*|Painter|Pixmap|Image|Icon|Color|Font|Cursor|Application|GuiApplication|Dialog|MessageBox|Label|ToolBar|StatusBar|ToolTip|ProgressDialog|MainWindow|Printer|Svg\w*)|QtGui|QtWidgets)>)re");
  return std::regex_search(line, header);
}

TEST(Layering, WindowSystemHeadersAreRecognised) {
  EXPECT_TRUE(isWindowSystemHeader("#include <QWidget>"));
  EXPECT_TRUE(isWindowSystemHeader("#include <QtWidgets/QMenu>"));
  EXPECT_TRUE(isWindowSystemHeader("#include <QMdiSubWindow>"));
  EXPECT_TRUE(isWindowSystemHeader("#include <QtGui>"));
  EXPECT_FALSE(isWindowSystemHeader("#include <QObject>"));
  EXPECT_FALSE(isWindowSystemHeader("#include <QSettings>"));
  EXPECT_FALSE(isWindowSystemHeader("#include <QCoreApplication>"));
  EXPECT_FALSE(isWindowSystemHeader("#include <QTimer>"));
}

TEST(Layering, EverySourceFileIncludesOnlyItsOwnAndLowerLayers) {
  const fs::path src = fs::path(NIMBREL_SOURCE_DIR) / "src";
  ASSERT_TRUE(fs::is_directory(src)) << src;
  int files = 0;
  std::vector<std::string> violations;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
    ++files;
    const fs::path relative = fs::relative(entry.path(), src);
    const std::string folder = relative.begin()->string();
    if (relative.begin()->string() == relative.string()) {
      violations.push_back(relative.string() + ": a source file outside every layer");
      continue;
    }
    std::ifstream in(entry.path());
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      const std::optional<std::string> to = includedFolder(line);
      if (to && !mayInclude(folder, *to))
        violations.push_back(relative.string() + ":" + std::to_string(number) + ": " + line);
      // The painter serves tools without a display: QtGui, never the widgets.
      if (folder == "render" && line.find("#include") != std::string::npos &&
          std::regex_search(line, std::regex("QtWidgets|<Q(Widget|Application|MainWindow|Dialog)\\b")))
        violations.push_back(relative.string() + ":" + std::to_string(number) + ": " + line);
      if (folder != "ui" && folder != "render" && isWindowSystemHeader(line))
        violations.push_back(relative.string() + ":" + std::to_string(number) + ": below the windows: " + line);
      // Views talk in signals: only the program's start and the window itself know the main window.
      const std::string name = relative.filename().string();
      if (line.find("\"ui/MainWindow.h\"") != std::string::npos && name != "MainWindow.cpp" && name != "main.cpp" &&
          name != "Application.cpp")
        violations.push_back(relative.string() + ":" + std::to_string(number) + ": " + line);
    }
  }
  EXPECT_GT(files, 20) << "the sources were not found under " << src;
  for (const std::string& violation : violations) ADD_FAILURE() << violation;
}

}  // namespace
}  // namespace nimbrel
