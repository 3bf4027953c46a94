#include "ui/ChartExport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QStatusTipEvent>
#include <filesystem>

#include "services/QtText.h"
#include "stationchart/ChartDataCsv.h"
#include "ui/ChartBriefing.h"
#include "ui/ChartReportsPane.h"
#include "ui/Printing.h"
#include "ui/StationChartView.h"

namespace nimbrel {
namespace {

// The status bar's note, through the window's parents to the main window.
void tellStatus(QWidget& view, const QString& text) {
  QStatusTipEvent tip(text);
  QApplication::sendEvent(&view, &tip);
}

QString suggestedName(StationChartView& view, const char* suffix) {
  const Station& station = view.chartModel().station();
  const QString code = toQString(station.icao.empty() ? station.name : station.icao).simplified().replace(
      QLatin1Char(' '), QLatin1Char('_'));
  return code + QLatin1Char('-') + QDate::currentDate().toString(Qt::ISODate) + QLatin1String(suffix);
}

}  // namespace

ChartDataExporter::ChartDataExporter(StationChartView& chartView) : QObject(&chartView), view(chartView) {}

ChartDataExporter::~ChartDataExporter() {
  reading.reset();
  endWait();
}

void ChartDataExporter::endWait() {
  if (std::exchange(waiting, false)) QApplication::restoreOverrideCursor();
}

void ChartDataExporter::write(const QString& path, const ObservationList& reports) {
  const CsvWriteResult result =
      writeChartDataCsv(std::filesystem::path(path.toStdString()), reports, view.chartSettings());
  emit finished(result.ok, result.ok ? tr("%n report(s) written to %1", nullptr, static_cast<int>(reports.size())).arg(path)
                                     : QString::fromStdString(result.message));
}

void ChartDataExporter::start(const QString& path, bool wholeHistory) {
  StationChartModel& model = view.chartModel();
  if (!wholeHistory) {
    write(path, model.observations);
    return;
  }
  reading = requestWholeHistory(model.reportSource(), model.station(), model.observations,
                                [this, path](ObservationList reports) {
                                  reading.reset();
                                  endWait();
                                  write(path, reports);
                                });
  if (!reading) {
    emit finished(false, tr("This chart's source keeps no stored reports: only the range the chart shows can be "
                            "exported."));
    return;
  }
  waiting = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void exportChartData(StationChartView& view) {
  QFileDialog dialog(view.window(), QObject::tr("Export Chart Data"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters({QObject::tr("CSV file (*.csv)")});
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  dialog.selectFile(suggestedName(view, ".csv"));
  // Which reports, below the file name.
  auto* range = new QComboBox(&dialog);
  range->setObjectName(QStringLiteral("exportRange"));
  range->addItem(QObject::tr("The range the chart shows (%n report(s))", nullptr,
                             static_cast<int>(view.chartModel().observations.size())));
  range->addItem(QObject::tr("The station's whole stored history"));
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(QObject::tr("Reports:"), &dialog), row, 0);
    grid->addWidget(range, row, 1, 1, grid->columnCount() - 1);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  auto* exporter = new ChartDataExporter(view);
  QObject::connect(exporter, &ChartDataExporter::finished, &view, [&view, exporter](bool ok, const QString& message) {
    exporter->deleteLater();
    if (ok) tellStatus(view, message);
    else QMessageBox::warning(view.window(), QObject::tr("Export Chart Data"), message);
  });
  exporter->start(dialog.selectedFiles().first(), range->currentIndex() == 1);
}

void saveChartPdf(StationChartView& view) {
  const QString path = QFileDialog::getSaveFileName(view.window(), QObject::tr("Save as PDF"),
                                                    suggestedName(view, ".pdf"), QObject::tr("PDF file (*.pdf)"),
                                                    nullptr, QFileDialog::DontUseNativeDialog);
  if (path.isEmpty()) return;
  QString error;
  if (writeBriefingPdf(view, path, error)) tellStatus(view, QObject::tr("Briefing saved as %1").arg(path));
  else QMessageBox::warning(view.window(), QObject::tr("Save as PDF"), QObject::tr("Could not save %1: %2").arg(path, error));
}

ChartActions::ChartActions(QObject* owner, std::function<StationChartView*()> chart)
    : QObject(owner), activeChart(std::move(chart)) {
  auto make = [this](const char* name, const QString& text, const QString& statusTip) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(statusTip);
    return action;
  };
  exportData = make("exportChartDataAction", tr("Export Chart &Data..."),
                    tr("Save the chart's reports as a CSV file for a spreadsheet"));
  connect(exportData, &QAction::triggered, this, [this] {
    if (StationChartView* view = activeChart()) exportChartData(*view);
  });
  savePdf = make("saveChartPdfAction", tr("Save as P&DF..."),
                 tr("Save a one-page briefing: the chart, the newest report and the forecast"));
  connect(savePdf, &QAction::triggered, this, [this] {
    if (StationChartView* view = activeChart()) saveChartPdf(*view);
  });
  showReports = make("showReportsAction", tr("&Reports"), tr("Show every report of the chart's period beside it"));
  showReports->setCheckable(true);
  connect(showReports, &QAction::triggered, this, [this](bool on) {
    if (StationChartView* view = activeChart()) view->reportsPane()->showList(on);
  });
}

void ChartActions::update(StationChartView* chart) {
  exportData->setEnabled(chart != nullptr);
  savePdf->setEnabled(chart != nullptr);
  showReports->setEnabled(chart != nullptr);
  showReports->setChecked(chart != nullptr && chart->reportsPane()->isListShown());
}

void fillChartMenu(QMenu& menu, StationChartView& view) {
  QAction* reports = menu.addAction(QObject::tr("&Reports"));
  reports->setCheckable(true);
  reports->setChecked(view.reportsPane()->isListShown());
  QObject::connect(reports, &QAction::triggered, &view, [&view](bool on) { view.reportsPane()->showList(on); });
  menu.addSeparator();
  QObject::connect(menu.addAction(QObject::tr("Export Chart &Data...")), &QAction::triggered, &view,
                   [&view] { exportChartData(view); });
  QObject::connect(menu.addAction(QObject::tr("Save as P&DF...")), &QAction::triggered, &view,
                   [&view] { saveChartPdf(view); });
  QObject::connect(menu.addAction(QObject::tr("&Print...")), &QAction::triggered, &view, [&view] {
    runPrintDialog(view.window(), false, [&view](QPainter& painter) { view.print(painter); });
  });
}

}  // namespace nimbrel
