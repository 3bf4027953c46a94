#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>

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

class MeteodataFileTest : public ::testing::Test {
 protected:
  void SetUp() override { before = fs::current_path(); }
  void TearDown() override {
    EXPECT_EQ(fs::current_path(), before);  // the process's folder is never changed
  }

  TempFolder temp;
  const fs::path& folder = temp.Path();
  fs::path before;
  FakeUserPort port;
};

TEST_F(MeteodataFileTest, NameFromTheDateAndTheStation) {
  const std::time_t day = static_cast<std::time_t>(AsLocal(2005, 4, 5, 12, 0));
  EXPECT_EQ(meteodataFileName("ST. PAUL (DOWNTOWN)", day), "04_05_2005_st. paul _downtown_.txt");
  EXPECT_EQ(meteodataFileName("A-B/C", day), "04_05_2005_a_b_c.txt");
}

TEST_F(MeteodataFileTest, WritesTheObservationsNewestFirstWithCrLf) {
  ObservationList observations;
  Observation report;
  report.observedAt = AsLocal(2005, 4, 5, 17, 53);
  report.temperature = 12.2;
  report.pressure = 16.299999999999955;
  report.windDirection = 160;
  report.windSpeed = 4.6;
  observations.push_back(report);
  Observation unreadable;  // a pressure that could not be read is stored as 0
  unreadable.observedAt = AsLocal(2005, 4, 5, 17, 23);
  unreadable.temperature = -3.5;
  observations.push_back(unreadable);

  const fs::path written =
      writeMeteodataFile(port, folder, "ST. PAUL (DOWNTOWN)", observations, static_cast<std::time_t>(AsLocal(2005, 4, 5, 20, 0)));
  EXPECT_EQ(written, folder / "Meteodata" / "04_05_2005_st. paul _downtown_.txt");
  EXPECT_EQ(ReadAll(written), kHeader +
                                  "04/05/2005\t17:53\t12.20\t1016.30\t\t160.00\t\t4.60\r\n"
                                  "04/05/2005\t17:23\t-3.50\t1000.00\t\t0.00\t\t0.00\r\n");
  EXPECT_TRUE(port.messages.empty());
  EXPECT_EQ(port.waitCount, 0);

  // The same station on the same day: the later window's file wins.
  writeMeteodataFile(port, folder, "ST. PAUL (DOWNTOWN)", ObservationList{}, static_cast<std::time_t>(AsLocal(2005, 4, 5, 21, 0)));
  EXPECT_EQ(ReadAll(written), kHeader);
}

TEST_F(MeteodataFileTest, AFileThatCannotBeOpenedIsReported) {
  // A folder in the file's place cannot be opened for writing.
  const std::time_t day = static_cast<std::time_t>(AsLocal(2005, 4, 5, 12, 0));
  fs::create_directories(folder / "Meteodata" / meteodataFileName("BLOCKED", day));
  EXPECT_TRUE(writeMeteodataFile(port, folder, "BLOCKED", ObservationList{}, day).empty());
  EXPECT_EQ(port.messages, std::vector<std::string>{"Can not open an output file \"04_05_2005_blocked.txt\"."});
}

TEST_F(MeteodataFileTest, AFolderThatCannotBeMadeLeavesTheFileBesideIt) {
  // "Meteodata" exists as a plain file: the export goes to the folder itself.
  std::ofstream(folder / "Meteodata") << "not a folder";
  const std::time_t day = static_cast<std::time_t>(AsLocal(2005, 4, 5, 12, 0));
  const fs::path written = writeMeteodataFile(port, folder, "BERN", ObservationList{}, day);
  EXPECT_EQ(written, folder / "04_05_2005_bern.txt");
  EXPECT_EQ(ReadAll(written), kHeader);
}

}  // namespace
}  // namespace nimbrel::test
