// A live METAR chart's Reports list, data export and briefing in the
// running program, against a METAR and TAF service on 127.0.0.1 and the
// test's own report store: the list beside the chart with every report of
// the period newest first (a TAF the store kept among them), decoded as
// tooltip, Ctrl+C copying the reports; the whole stored history as CSV;
// the briefing as a one-page PDF.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <ctime>

#include "MainWindowFixture.h"
#include "base/ClockText.h"
#include "metar/UtcDateTime.h"
#include "reportstore/ReportStore.h"
#include "support/LocalHttpServer.h"
#include "ui/ChartBriefing.h"
#include "ui/ChartExport.h"
#include "ui/ChartReportsPane.h"
#include "ui/ReportsList.h"

namespace nimbrel::test {
namespace {

std::string Two(int value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02d", value % 100);
  return text;
}
std::string DayHourMinute(std::int64_t seconds) {
  const UtcDateTime t = UtcDateTime::fromEpochMinutes(seconds / 60);
  return Two(t.day) + Two(t.hour) + Two(t.minute);
}
std::string DayHour(std::int64_t seconds) { return DayHourMinute(seconds).substr(0, 4); }

// Two METARs an hour apart, the newest within the last hour, and a TAF
// issued before both.
class Service {
 public:
  Service() {
    const std::int64_t now = std::time(nullptr);
    newest = (now - 53 * 60) / 3600 * 3600 + 53 * 60;
    const std::int64_t h = now / 3600 * 3600;
    std::string body = "[";
    for (const std::int64_t at : {newest, newest - 3600}) {
      const std::string raw = "METAR KTST " + DayHourMinute(at) + "Z 16009KT 10SM FEW120 12/M04 A3001";
      metars.push_back(raw);
      body += std::string(body.size() > 1 ? "," : "") + R"({"rawOb": ")" + raw + R"(", "obsTime": )" +
              std::to_string(at) + "}";
    }
    body += "]";
    tafIssued = newest - 2 * 3600;
    taf = "TAF KTST " + DayHourMinute(tafIssued) + "Z " + DayHour(h - 2 * 3600) + "/" + DayHour(h + 22 * 3600) +
          " 18010KT P6SM SCT040 TEMPO " + DayHour(h + 3600) + "/" + DayHour(h + 3 * 3600) +
          " 3SM -SHRA BKN015 FM" + DayHour(h + 5 * 3600) + "00 22012G22KT P6SM BKN050 BECMG " +
          DayHour(h + 9 * 3600) + "/" + DayHour(h + 11 * 3600) + " 24008KT RMK NXT FCST BY " + DayHour(h + 4 * 3600) +
          "00Z";
    const UtcDateTime i = UtcDateTime::fromEpochMinutes(tafIssued / 60);
    const std::string issue = std::to_string(i.year) + "-" + Two(i.month) + "-" + Two(i.day) + "T" + Two(i.hour) +
                              ":" + Two(i.minute) + ":00.000Z";
    const std::string tafBody = R"([{"icaoId": "KTST", "issueTime": ")" + issue + R"(", "rawTAF": ")" + taf + R"("}])";
    server.Server().Get("/api/data/metar", [body](const httplib::Request&, httplib::Response& response) {
      response.set_content(body, "application/json");
    });
    server.Server().Get("/api/data/taf", [tafBody](const httplib::Request&, httplib::Response& response) {
      response.set_content(tafBody, "application/json");
    });
  }
  bool start() { return server.start(); }
  std::string base() const { return server.Url(""); }

  std::int64_t newest = 0;
  std::int64_t tafIssued = 0;
  std::vector<std::string> metars;  // newest first
  std::string taf;

 private:
  LocalHttpServer server;
};

class ChartReportsTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    ASSERT_TRUE(service.start());
    WriteStations({StationLine("TEST FIELD", "KTST", -93.0, 44.0)});
    // An amended TAF from between the two reports, kept by an earlier run.
    amended = "TAF AMD KTST " + DayHourMinute(service.newest - 30 * 60) + "Z " + DayHour(service.newest) + "/" +
              DayHour(service.newest + 24 * 3600) + " 20015KT 4SM BR OVC008";
    {
      ReportStore store(workDir.filePath(QStringLiteral("data/nimbrel/reports.sqlite")).toStdString());
      const StoredForecast kept{"KTST", service.newest - 30 * 60, amended};
      ASSERT_TRUE(store.putForecasts(std::span(&kept, 1)));
      // And a report of two days ago, long before the chart's hours.
      oldReport = "METAR KTST " + DayHourMinute(service.newest - 48 * 3600) + "Z 27005KT 9999 BKN030 08/02 Q1020";
      const StoredMetar old{"KTST", service.newest - 48 * 3600, oldReport};
      ASSERT_TRUE(store.putMetars(std::span(&old, 1)));
    }
    StartWindow();
    session->setReportSource(ReportSource::kLiveMetar);
    session->setMetarUrl(service.base());
    for (const Station& s : session->allStations())
      if (s.icao == "KTST") view = OpenChart(s);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(WaitUntil([this] { return !view->chartModel().isForecastBusy(); }));
    ASSERT_TRUE(view->chartModel().forecast());
  }

  Service service;
  std::string amended;
  std::string oldReport;
  StationChartView* view = nullptr;
};

TEST_F(ChartReportsTest, TheReportsListShowsEveryReportNewestFirstAndCopiesThem) {
  // Room on the right for the list.
  Frame()->resize(1700, 900);
  SubWindowOf(view)->move(0, 0);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  const int chartWidth = view->width();
  ActionOf(Frame(), "showReportsAction")->trigger();
  ChartReportsPane* pane = view->reportsPane();
  ASSERT_TRUE(pane->isListShown());
  ASSERT_TRUE(WaitUntil([pane] { return !pane->isReading() && pane->list()->rowCount() == 4; }))
      << pane->list()->rowCount();
  // The window grew by the list: the chart keeps its width.
  EXPECT_EQ(view->drawnSize().width(), chartWidth);
  // The briefing lays the chart out over the whole window, not squeezed
  // beside the list; the screen's chart is beside it again on its next paint.
  {
    QImage page(800, 1130, QImage::Format_RGB32);
    QPainter onPage(&page);
    paintBriefing(onPage, page.rect(), *view);
  }
  EXPECT_GT(view->chart()->frameRect.width(), chartWidth);
  view->repaint();
  EXPECT_LT(view->chart()->frameRect.width(), chartWidth);

  ReportsList* list = pane->list();
  const std::vector<std::string> expected = {service.metars[0], amended, service.metars[1], service.taf};
  for (int row = 0; row < 4; ++row) EXPECT_EQ(list->item(row, 1)->text().toStdString(), expected[row]) << row;
  // Decoded as tooltip: the report's values, the forecast's changes.
  EXPECT_TRUE(list->item(0, 1)->toolTip().contains(QStringLiteral("TEMP: 12.0"))) << list->item(0, 1)->toolTip().toStdString();
  const QString tafTip = list->item(3, 1)->toolTip();
  EXPECT_TRUE(tafTip.contains(QStringLiteral("\nTEMPO "))) << tafTip.toStdString();
  EXPECT_TRUE(tafTip.contains(QStringLiteral("\nBECMG "))) << tafTip.toStdString();
  // The whole TAF wraps onto lines of its own, nothing cut.
  EXPECT_GT(list->rowHeight(3), 2 * list->rowHeight(0));

  // Ctrl+C: the selected reports as sent, one a line.
  list->setFocus();
  list->selectRow(0);
  list->selectionModel()->select(list->model()->index(3, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
  QApplication::clipboard()->clear();
  QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), service.metars[0] + "\n" + service.taf);

  // A change of zone words the list again; the list hidden, the window is as before.
  ChangeSettings(*session, [](Settings& s) { s.timeUtc = true; });
  EXPECT_TRUE(list->item(0, 0)->text().endsWith(QStringLiteral(" UTC"))) << list->item(0, 0)->text().toStdString();
  ActionOf(Frame(), "showReportsAction")->trigger();
  EXPECT_FALSE(pane->isListShown());
  EXPECT_EQ(view->width(), chartWidth);
}

TEST_F(ChartReportsTest, ExportsTheWholeHistoryAndSavesAOnePageBriefing) {
  // File > Export Chart Data..., the station's whole stored history chosen.
  const QString csv = workDir.filePath(QStringLiteral("ktst.csv"));
  ModalWatch<QFileDialog> exportDialog([&csv](QFileDialog* dialog) {
    auto* range = dialog->findChild<QComboBox*>(QStringLiteral("exportRange"));
    ASSERT_NE(range, nullptr);
    range->setCurrentIndex(1);
    dialog->selectFile(csv);
    static_cast<QDialog*>(dialog)->accept();
  });
  ActionOf(Frame(), "exportChartDataAction")->trigger();
  ASSERT_TRUE(exportDialog.seen());
  ASSERT_TRUE(WaitUntil([&csv, this] { return QFile::exists(csv) && view->findChild<ChartDataExporter*>() == nullptr; }));
  EXPECT_TRUE(messages.empty());
  QFile file(csv);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = file.readAll().split('\n');
  // The header, the stored report of two days ago and the chart's two (the ceiling in the
  // default metres), the empty end after the last CR LF.
  ASSERT_EQ(lines.size(), 5);
  EXPECT_TRUE(lines[0].startsWith("Time (UTC),Station,Temperature (\xC2\xB0" "C)"));
  EXPECT_EQ(lines[1].toStdString(), utcText(service.newest - 48 * 3600, "%Y-%m-%dT%H:%M:%SZ") +
                                        ",KTST,8,2,66,1020,270,2.6,,10000,914,MVFR,," + oldReport + "\r");
  const std::string older = lines[2].toStdString();
  EXPECT_EQ(older.rfind(utcText(service.newest - 3600, "%Y-%m-%dT%H:%M:%SZ") + ",KTST,12,-4,", 0), 0u) << older;
  EXPECT_TRUE(older.ends_with("," + service.metars[1] + "\r")) << older;
  EXPECT_EQ(lines[3].toStdString().rfind(utcText(service.newest, "%Y-%m-%dT%H:%M:%SZ"), 0), 0u);

  // File > Save as PDF...: the briefing on one page, the chart and the texts on it.
  const QString pdf = workDir.filePath(QStringLiteral("briefing.pdf"));
  ModalWatch<QFileDialog> pdfDialog([&pdf](QFileDialog* dialog) {
    dialog->selectFile(pdf);
    static_cast<QDialog*>(dialog)->accept();
  });
  ActionOf(Frame(), "saveChartPdfAction")->trigger();
  ASSERT_TRUE(pdfDialog.seen());
  QFile saved(pdf);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QByteArray bytes = saved.readAll();
  EXPECT_TRUE(bytes.startsWith("%PDF"));
  EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 1);
  EXPECT_GT(bytes.size(), 10000);
  // Nowhere to write: told.
  QString error;
  EXPECT_FALSE(writeBriefingPdf(*view, workDir.filePath(QStringLiteral("gone/briefing.pdf")), error));
  EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace nimbrel::test
