#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <set>

#include "observations/ReportPage.h"
#include "stationchart/MeteodataFile.h"
#include "support/FakeUserPort.h"
#include "support/ReadFile.h"
#include "support/ReportPages.h"
#include "support/TempFolder.h"

namespace nimbrel::test {
namespace {

namespace fs = std::filesystem;

const std::string kHeader =
    "---------------------------------------------------------------------------\r\n"
    "Date\t\tTime\tTemp.\tPressure\tWind dir\tWind speed\r\n"
    "---------------------------------------------------------------------------\r\n";

// The pressure given in hectopascals above 1000, as the cases read shortest.
Observation At(int hour, int minute, double temperature, double pressure = 16.3, double windDirection = 160,
               double windSpeed = 4.6) {
  Observation o;
  o.observedAt = AtUtc(2005, 4, 5, hour, minute);
  o.temperature = temperature;
  o.pressure = 1000.0 + pressure;
  o.windDirection = windDirection;
  o.windSpeed = windSpeed;
  return o;
}

// The names in a folder, but the lock files that stay beside exports.
std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() != ".lock") names.insert(entry.path().filename().string());
  return names;
}

class MeteodataFileTest : public ::testing::Test {
 protected:
  void SetUp() override { before = fs::current_path(); }
  void TearDown() override {
    EXPECT_EQ(fs::current_path(), before);  // the process's folder is never changed
  }

  fs::path Write(const std::string& station, const ObservationList& observations) {
    return writeMeteodataFile(port, folder, station, observations, day);
  }
  fs::path PathOf(const std::string& station) const {
    return folder / "Meteodata" / meteodataFileName(station, day);
  }

  TempFolder temp;
  const fs::path& folder = temp.Path();
  const std::time_t day = static_cast<std::time_t>(AsLocal(2005, 4, 5, 20, 0));
  fs::path before;
  FakeUserPort port;
};

TEST_F(MeteodataFileTest, NameFromTheDateAndTheStation) {
  EXPECT_EQ(meteodataFileName("ST. PAUL (DOWNTOWN)", day), "04_05_2005_st. paul _downtown_.txt");
  EXPECT_EQ(meteodataFileName("A-B/C", day), "04_05_2005_a_b_c.txt");
}

TEST_F(MeteodataFileTest, WritesTheObservationsOldestFirstWithCrLf) {
  // The list is newest first; a pressure that could not be read is stored as 0.
  const ObservationList observations = {At(17, 53, 12.2, 16.299999999999955), At(17, 23, -3.5, 0, 0, 0)};
  const fs::path written = Write("ST. PAUL (DOWNTOWN)", observations);
  EXPECT_EQ(written, folder / "Meteodata" / "04_05_2005_st. paul _downtown_.txt");
  EXPECT_EQ(ReadAll(written), kHeader +
                                  "04/05/2005\t17:23\t-3.50\t1000.00\t\t0.00\t\t0.00\r\n"
                                  "04/05/2005\t17:53\t12.20\t1016.30\t\t160.00\t\t4.60\r\n");
  EXPECT_EQ(formatMeteodata(observations), ReadAll(written));
  EXPECT_TRUE(port.messages.empty());
  EXPECT_EQ(port.waitCount, 0);
  EXPECT_EQ(Entries(folder / "Meteodata"), std::set<std::string>{written.filename().string()});  // no temporary
}

TEST_F(MeteodataFileTest, ValuesOutsideTheirPhysicalRangeAreWrittenAsMissing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    Observation observation;
    std::string row;
  };
  const Case cases[] = {
      {At(1, 2, -100, -200, 0, 0), "04/05/2005\t01:02\t-100.00\t800.00\t\t0.00\t\t0.00\r\n"},
      {At(1, 2, 70, 100, 360, 150), "04/05/2005\t01:02\t70.00\t1100.00\t\t360.00\t\t150.00\r\n"},
      {At(1, 2, -100.01, -200.01, -0.01, -0.01), "04/05/2005\t01:02\t\t\t\t\t\t\r\n"},
      {At(1, 2, 70.01, 100.01, 360.01, 150.01), "04/05/2005\t01:02\t\t\t\t\t\t\r\n"},
      {At(1, 2, 6.9e300, -6.9e300, 1e300, 1e308), "04/05/2005\t01:02\t\t\t\t\t\t\r\n"},
      {At(1, 2, nan, nan, nan, nan), "04/05/2005\t01:02\t\t\t\t\t\t\r\n"},
      {At(1, 2, inf, -inf, inf, inf), "04/05/2005\t01:02\t\t\t\t\t\t\r\n"},
      {At(1, 2, nan, 16.3, 160, 4.6), "04/05/2005\t01:02\t\t1016.30\t\t160.00\t\t4.60\r\n"},
      {At(1, 2, 12.2, 16.3, 160, inf), "04/05/2005\t01:02\t12.20\t1016.30\t\t160.00\t\t\r\n"},
      {At(23, 59, -0.004, 16.3, 0.005, 4.6), "04/05/2005\t23:59\t-0.00\t1016.30\t\t0.01\t\t4.60\r\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(formatMeteodataRow(c.observation), c.row) << c.observation.temperature << " " << c.observation.pressure;
}

TEST_F(MeteodataFileTest, APageOfHugeAndMissingNumbersKeepsEveryRowApart) {
  std::string page = ComposePage(Reports(3, 30));
  const std::string warmest = "10&#46;0&deg;C";
  page.replace(page.find(warmest), warmest.size(), "69" + std::string(299, '0') + "&#46;0&deg;C");
  ObservationList observations;
  ASSERT_EQ(readReportPage(page, &observations), ReportPageStatus::kReports);
  ASSERT_EQ(observations.size(), 3u);
  ASSERT_EQ(observations[0].temperature, 6.9e300);
  observations[1].temperature = std::numeric_limits<double>::quiet_NaN();
  observations[2].windSpeed = std::numeric_limits<double>::quiet_NaN();

  const fs::path written = writeMeteodataFile(port, folder, "HUGE", observations, static_cast<std::time_t>(AsLocal(2026, 12, 7, 20, 0)));
  EXPECT_EQ(ReadAll(written), kHeader +
                                  "12/07/2026\t16:53\t12.00\t1016.30\t\t30.00\t\t\r\n"
                                  "12/07/2026\t17:23\t\t1016.30\t\t20.00\t\t4.60\r\n"
                                  "12/07/2026\t17:53\t\t1016.30\t\t10.00\t\t4.60\r\n");
}

TEST_F(MeteodataFileTest, TwoChartsOfOneStationOnOneDayKeepBothTheirRows) {
  const ObservationList first = {At(17, 53, 12.2), At(17, 23, 11.0)};
  const ObservationList second = {At(18, 23, 14.0), At(17, 53, 13.0, 17.0, 170, 5.0), At(16, 53, 10.0)};
  const fs::path written = Write("BERN", first);
  const std::string once = ReadAll(written);
  // The same chart writing again later adds nothing twice.
  EXPECT_EQ(Write("BERN", first), written);
  EXPECT_EQ(ReadAll(written), once);

  EXPECT_EQ(Write("BERN", second), written);
  EXPECT_EQ(ReadAll(written), kHeader +
                                  "04/05/2005\t16:53\t10.00\t1016.30\t\t160.00\t\t4.60\r\n"
                                  "04/05/2005\t17:23\t11.00\t1016.30\t\t160.00\t\t4.60\r\n"
                                  "04/05/2005\t17:53\t13.00\t1017.00\t\t170.00\t\t5.00\r\n"
                                  "04/05/2005\t18:23\t14.00\t1016.30\t\t160.00\t\t4.60\r\n");
  // A window with nothing to add leaves the day's rows as they are.
  const std::string both = ReadAll(written);
  EXPECT_EQ(Write("BERN", ObservationList{}), written);
  EXPECT_EQ(ReadAll(written), both);
  EXPECT_TRUE(port.messages.empty());
}

TEST_F(MeteodataFileTest, MergingKeepsRowsItCannotRead) {
  struct Case {
    std::string name;
    std::string existing;
    ObservationList observations;
    std::string merged;
  };
  const std::string row1723 = "04/05/2005\t17:23\t11.00\t1016.30\t\t160.00\t\t4.60\r\n";
  const std::string row1753 = "04/05/2005\t17:53\t12.20\t1016.30\t\t160.00\t\t4.60\r\n";
  const Case cases[] = {
      {"no file", "", {At(17, 53, 12.2), At(17, 23, 11.0)}, kHeader + row1723 + row1753},
      {"an empty file", "", {}, kHeader},
      {"rows of other hands are kept, the readable ones in time order",
       kHeader + "a note\r\n" + row1753 + "4/5/2005\t9:05\tx\r\n" + "04/05/2005\t15:00\t2.00\t1000.00\t\t0.00\t\t0.00\n" +
           "\r\n" + "04/05/2005\t17",
       {At(17, 23, 11.0)},
       kHeader + "4/5/2005\t9:05\tx\r\n" + "04/05/2005\t15:00\t2.00\t1000.00\t\t0.00\t\t0.00\r\n" + row1723 + row1753 +
           "a note\r\n" + "\r\n" + "04/05/2005\t17\r\n"},
      {"a file without its header", row1753, {At(17, 23, 11.0)}, kHeader + row1723 + row1753},
      {"the new row of a time replaces the file's", kHeader + "04/05/2005\t17:53\t1.00\t\t\t\t\t\r\n",
       {At(17, 53, 12.2)}, kHeader + row1753},
      {"of two new reports of one minute the newer stays", kHeader, {At(17, 53, 12.2), At(17, 53, 1.0)},
       kHeader + row1753},
      {"rows of other days in time order",
       kHeader + "04/06/2005\t00:10\t1.00\t\t\t\t\t\r\n" + "12/31/2004\t23:50\t1.00\t\t\t\t\t\r\n",
       {At(17, 53, 12.2)},
       kHeader + "12/31/2004\t23:50\t1.00\t\t\t\t\t\r\n" + row1753 + "04/06/2005\t00:10\t1.00\t\t\t\t\t\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(mergeMeteodata(c.existing, c.observations), c.merged) << c.name;
}

TEST_F(MeteodataFileTest, ALinkAtTheFilesNameIsReplacedNotFollowed) {
  const fs::path other = temp.Write("other.txt", "someone else's file\n");
  fs::create_directory(folder / "Meteodata");
  fs::create_symlink(other, PathOf("BERN"));
  const fs::path written = Write("BERN", {At(17, 53, 12.2)});
  ASSERT_EQ(written, PathOf("BERN"));
  EXPECT_EQ(ReadAll(other), "someone else's file\n");
  EXPECT_FALSE(fs::is_symlink(written));
  EXPECT_TRUE(fs::is_regular_file(written));
  EXPECT_EQ(ReadAll(written), kHeader + "04/05/2005\t17:53\t12.20\t1016.30\t\t160.00\t\t4.60\r\n");
}

TEST_F(MeteodataFileTest, AFileThatCannotBeOpenedIsReported) {
  // A folder in the file's place cannot be opened for writing.
  fs::create_directories(PathOf("BLOCKED") / "inside");
  EXPECT_TRUE(Write("BLOCKED", ObservationList{}).empty());
  EXPECT_EQ(port.messages, std::vector<std::string>{"Can not open an output file \"04_05_2005_blocked.txt\"."});
  EXPECT_TRUE(fs::is_directory(PathOf("BLOCKED") / "inside"));
  EXPECT_EQ(Entries(folder / "Meteodata"), std::set<std::string>{"04_05_2005_blocked.txt"});
  EXPECT_EQ(port.waitCount, 0);
}

TEST_F(MeteodataFileTest, AFolderThatCannotBeMadeLeavesTheFileBesideIt) {
  // "Meteodata" exists as a plain file: the export goes to the folder itself.
  std::ofstream(folder / "Meteodata") << "not a folder";
  const fs::path written = Write("BERN", ObservationList{});
  EXPECT_EQ(written, folder / "04_05_2005_bern.txt");
  EXPECT_EQ(ReadAll(written), kHeader);
}

// Writes fail beyond `bytes` for as long as it lives, as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit = old;
    limit.rlim_cur = bytes;
    set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
  }
  bool set = false;

 private:
  rlimit old{};
  void (*oldHandler)(int) = SIG_DFL;
};

ObservationList ManyObservations(int count) {
  ObservationList observations;
  for (int i = count - 1; i >= 0; --i) {
    Observation o = At(0, 0, 10.0);
    o.observedAt += i * 60;
    observations.push_back(o);
  }
  return observations;
}

TEST_F(MeteodataFileTest, AFailedWriteKeepsTheOldFileWhole) {
  const fs::path written = Write("BERN", {At(17, 53, 12.2)});
  const std::string old = ReadAll(written);
  {
    FileSizeLimit limit(16 * 1024);
    ASSERT_TRUE(limit.set);
    EXPECT_TRUE(Write("BERN", ManyObservations(1000)).empty());
  }
  EXPECT_EQ(port.messages, std::vector<std::string>{"Can not write the output file \"04_05_2005_bern.txt\"."});
  EXPECT_EQ(ReadAll(written), old);
  EXPECT_EQ(Entries(folder / "Meteodata"), std::set<std::string>{written.filename().string()});
  EXPECT_EQ(port.waitCount, 0);
}

TEST_F(MeteodataFileTest, WriteAllFailsOnAFullDevice) {
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  if (full < 0) GTEST_SKIP() << "no /dev/full";
  EXPECT_FALSE(writeAll(full, "04/05/2005\t17:53\r\n"));
  ::close(full);

  const fs::path path = folder / "plain.txt";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  const std::string bytes(300 * 1000, 'r');
  EXPECT_TRUE(writeAll(fd, bytes));
  ::close(fd);
  EXPECT_EQ(ReadAll(path), bytes);
}

TEST_F(MeteodataFileTest, ACrashBeforeTheRenameLeavesTheOldFileWhole) {
  const fs::path path = temp.Write("day.txt", "old rows\r\n");
  int calls = 0;
  const FileReplacement result = replaceFile(path, "new rows\r\n", [&] {
    ++calls;
    // The new content lies complete in a temporary beside the untouched file.
    EXPECT_EQ(ReadAll(path), "old rows\r\n");
    std::set<std::string> names = Entries(folder);
    EXPECT_EQ(names.size(), 2u);
    names.erase("day.txt");
    if (names.size() == 1) {
      EXPECT_EQ(ReadAll(folder / *names.begin()), "new rows\r\n");
    }
    return false;
  });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(result, FileReplacement::kCannotWrite);
  EXPECT_EQ(ReadAll(path), "old rows\r\n");
  EXPECT_EQ(Entries(folder), std::set<std::string>{"day.txt"});

  EXPECT_EQ(replaceFile(path, "new rows\r\n", [] { return true; }), FileReplacement::kReplaced);
  EXPECT_EQ(ReadAll(path), "new rows\r\n");

  // A rename that fails (a folder in the name's place) takes its temporary with it.
  fs::create_directories(folder / "taken" / "inside");
  EXPECT_EQ(replaceFile(folder / "taken", "rows"), FileReplacement::kCannotWrite);
  EXPECT_EQ(Entries(folder), (std::set<std::string>{"day.txt", "taken"}));
  EXPECT_EQ(replaceFile(folder / "missing" / "day.txt", "rows"), FileReplacement::kCannotOpen);
}

TEST_F(MeteodataFileTest, ATemporaryLeftByAnEarlierRunIsNeitherReadNorInTheWay) {
  const fs::path written = Write("BERN", {At(17, 23, 11.0)});
  const fs::path leftover = folder / "Meteodata" / ("." + written.filename().string() + ".1-0.tmp");
  std::ofstream(leftover, std::ios::binary) << kHeader << "04/05/2005\t12:00\t99.00\t1000.00\t\t0.00\t\t0.";
  EXPECT_EQ(Write("BERN", {At(17, 53, 12.2)}), written);
  EXPECT_EQ(ReadAll(written), kHeader +
                                  "04/05/2005\t17:23\t11.00\t1016.30\t\t160.00\t\t4.60\r\n"
                                  "04/05/2005\t17:53\t12.20\t1016.30\t\t160.00\t\t4.60\r\n");
  EXPECT_TRUE(fs::exists(leftover));
}

// Runs `body` in a child process with a 64 KiB tmpfs mounted on `folder`
// in a mount table of its own; its report, or nothing when the system does
// not let the test mount.
std::optional<std::string> OnSmallTmpfs(const fs::path& folder, const std::function<std::string()>& body) {
  int channel[2];
  if (pipe(channel) != 0) return std::nullopt;
  const uid_t uid = getuid();
  const gid_t gid = getgid();
  const pid_t child = fork();
  if (child == 0) {
    ::close(channel[0]);
    bool alone = unshare(CLONE_NEWNS) == 0;
    if (!alone && unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0) {
      auto put = [](const char* file, const std::string& text) {
        std::ofstream(file) << text;
      };
      put("/proc/self/setgroups", "deny");
      put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
      put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
      alone = true;
    }
    if (!alone || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("nimbrel-test", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
      _exit(77);
    const std::string report = body();
    const bool sent = writeAll(channel[1], report);
    _exit(sent ? 0 : 1);
  }
  ::close(channel[1]);
  std::string report;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0) report.append(buffer, static_cast<std::size_t>(got));
  ::close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77) return std::nullopt;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "the child failed";
  return report;
}

TEST_F(MeteodataFileTest, AFullFileSystemKeepsTheOldFileWhole) {
  const fs::path small = folder / "small";
  fs::create_directory(small);
  const auto report = OnSmallTmpfs(small, [&] {
    FakeUserPort childPort;
    const fs::path written = writeMeteodataFile(childPort, small, "BERN", {At(17, 53, 12.2)}, day);
    if (written.empty()) return std::string("the first write failed");
    const std::string old = ReadAll(written);
    const bool failed = writeMeteodataFile(childPort, small, "BERN", ManyObservations(1400), day).empty();
    std::string text = failed ? "failed;" : "written;";
    for (const std::string& message : childPort.messages) text += message + ";";
    text += ReadAll(written) == old ? "old file whole;" : "old file changed;";
    for (const std::string& name : Entries(small / "Meteodata")) text += name + ";";
    return text;
  });
  if (!report) GTEST_SKIP() << "a tmpfs cannot be mounted here";
  EXPECT_EQ(*report,
            "failed;Can not write the output file \"04_05_2005_bern.txt\".;old file whole;04_05_2005_bern.txt;");
}

// Two running copies export the same station on the same day, each adding
// its rows one write at a time: the lock keeps every row of both.
TEST_F(MeteodataFileTest, TwoRunningCopiesWritingAtOnceKeepEveryRow) {
  constexpr int kWrites = 60;
  constexpr int kRowsPerWrite = 5;
  std::vector<pid_t> children;
  for (int copy = 0; copy < 2; ++copy) {
    const pid_t child = fork();
    if (child == 0) {
      FakeUserPort childPort;
      for (int write = 0; write < kWrites; ++write) {
        ObservationList rows;
        // Copy 0 writes even minutes, copy 1 odd ones, from 01:00 on.
        for (int row = 0; row < kRowsPerWrite; ++row) {
          const int minute = 2 * (write * kRowsPerWrite + row) + copy;
          rows.push_back(At(1 + minute / 60, minute % 60, 10.0));
        }
        if (writeMeteodataFile(childPort, folder, "BERN", rows, day).empty()) _exit(1);
      }
      _exit(childPort.messages.empty() ? 0 : 1);
    }
    ASSERT_GT(child, 0);
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const std::string text = ReadAll(PathOf("BERN"));
  EXPECT_EQ(static_cast<int>(std::count(text.begin(), text.end(), '\n')), 3 + 2 * kWrites * kRowsPerWrite);
}

TEST_F(MeteodataFileTest, AnExportFileTooLargeToMergeIsLeftAloneWithAMessage) {
  fs::create_directories(folder / "Meteodata");
  {
    std::ofstream huge(PathOf("BERN"), std::ios::binary);
    huge.seekp(static_cast<std::streamoff>(kLargestMergedFile));
    huge.put('\n');
  }
  EXPECT_TRUE(Write("BERN", {At(17, 53, 12.2)}).empty());
  EXPECT_EQ(port.messages, std::vector<std::string>{"The output file \"04_05_2005_bern.txt\" is larger than 16 MB: it "
                                                    "is left as it is and this chart's rows are not added to it."});
  EXPECT_EQ(fs::file_size(PathOf("BERN")), kLargestMergedFile + 1);
  EXPECT_EQ(port.waitCount, 0);
}

}  // namespace
}  // namespace nimbrel::test
