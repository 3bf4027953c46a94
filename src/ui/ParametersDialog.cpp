#include "ui/ParametersDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <string>

#include "charts/ChartText.h"
#include "ui/QtText.h"

namespace nimbrel {
namespace {

// Past two and a half days the hours come from the report store (the
// service keeps 15 days; the store as many as its retention).
const char* const kHourItems[] = {"1",  "2",  "3",  "4",  "5",  "6",   "12",  "18",  "24",
                                  "30", "36", "42", "48", "54", "60", "120", "240", "360", "720"};

void setText(QLineEdit* edit, const std::string& text) { edit->setText(toQString(text)); }
std::string text(const QLineEdit* edit) { return fromQString(edit->text()); }

QCheckBox* checkBox(const char* id, const char* text) {
  auto* box = new QCheckBox(toQString(text));
  box->setObjectName(toQString(id));
  return box;
}

QLineEdit* edit(const char* id, int widthChars) {
  auto* edit = new QLineEdit;
  edit->setObjectName(toQString(id));
  edit->setAlignment(Qt::AlignCenter);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * widthChars + 12);
  return edit;
}

QLabel* label(const char* text, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter) {
  auto* label = new QLabel(toQString(text));
  label->setAlignment(alignment);
  return label;
}

}  // namespace

ParametersDialog::ParametersDialog(Chart* chart, Settings* settings, QWidget* parent)
    : QDialog(parent), chart(chart), settings(settings) {
  setWindowTitle(QStringLiteral("Parameters"));
  setModal(true);

  okButton = new QPushButton(QStringLiteral("OK"));
  okButton->setObjectName(QStringLiteral("IDOK"));
  okButton->setDefault(true);
  cancelButton = new QPushButton(QStringLiteral("Cancel"));
  cancelButton->setObjectName(QStringLiteral("IDCANCEL"));
  yAutoscale = checkBox("IDC_Y_AUTOSCALE", "Autoscale");
  yShowNet = checkBox("IDC_Y_SHOW_NET", "Show net");
  yMinEdit = edit("IDC_Y_MIN", 7);
  yDeltaEdit = edit("IDC_Y_DELTA", 7);
  xAutoscale = checkBox("IDC_X_AUTOSCALE", "Autoscale");
  xShowNet = checkBox("IDC_X_SHOW_NET", "Show net");
  xMinEdit = edit("IDC_X_MIN", 7);
  xDeltaEdit = edit("IDC_X_DELTA", 7);
  showMarks = checkBox("IDC_SHOW_MARKS", "Show marks");
  showLegend = checkBox("IDC_SHOW_LEGEND", "Show legend");
  lineWidthEdit = edit("IDC_LINE_WIDTH", 3);
  temperature = checkBox("IDC_TEMPERATURE", "Temperature");
  pressure = checkBox("IDC_PRESSURE", "Pressure");
  windSpeed = checkBox("IDC_WIND_SPEED", "Wind speed");
  windDirection = checkBox("IDC_WIND_DIRECTION", "Wind direction");
  writeMeteodata = checkBox("IDC_WRITE_METEODATA", "Write meteodata to file");
  timeUtc = checkBox("IDC_TIME_UTC", "Time UTC");
  metricStyle = checkBox("IDC_METRIC_STYLE", "Metric style");
  showNearestEdit = edit("IDC_SHOW_NEAREST", 6);
  pastHoursList = new QComboBox;
  pastHoursList->setObjectName(QStringLiteral("IDC_SHOW_PAST_HOURS"));
  for (const char* item : kHourItems) pastHoursList->addItem(toQString(item));
  pastHoursList->setMaxVisibleItems(15);
  forecastHoursBox = new QSpinBox;
  forecastHoursBox->setObjectName(QStringLiteral("IDC_FORECAST_HOURS"));
  forecastHoursBox->setRange(0, kMostForecastHours);
  reportSource = new QComboBox;
  reportSource->setObjectName(QStringLiteral("IDC_REPORT_SOURCE"));
  reportSource->addItem(QStringLiteral("Live METAR (aviation weather service)"));
  reportSource->addItem(QStringLiteral("Report pages (service host)"));
  yMinEdit->setEnabled(false);
  yDeltaEdit->setEnabled(false);

  // The X axis takes its range from the rows: only its net can be chosen.
  auto* xMinLabel = label("X min:");
  auto* xDeltaLabel = label("X delta:");
  for (QWidget* hidden : std::initializer_list<QWidget*>{xAutoscale, xMinEdit, xDeltaEdit, xMinLabel, xDeltaLabel}) {
    QSizePolicy policy = hidden->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    hidden->setSizePolicy(policy);
    hidden->setVisible(false);
  }

  auto axisGroup = [](const char* title, QCheckBox* autoscale, QCheckBox* net, QLabel* minLabel, QLineEdit* minEdit,
                      QLabel* deltaLabel, QLineEdit* deltaEdit) {
    auto* group = new QGroupBox(toQString(title));
    auto* grid = new QGridLayout(group);
    grid->addWidget(autoscale, 0, 0, 1, 2);
    grid->addWidget(net, 1, 0, 1, 2);
    grid->addWidget(minLabel, 2, 0);
    grid->addWidget(minEdit, 2, 1);
    grid->addWidget(deltaLabel, 3, 0);
    grid->addWidget(deltaEdit, 3, 1);
    return group;
  };
  auto* yGroup = axisGroup("Y Axe", yAutoscale, yShowNet, label("Y min:"), yMinEdit, label("Y delta:"), yDeltaEdit);
  auto* xGroup = axisGroup("X Axe", xAutoscale, xShowNet, xMinLabel, xMinEdit, xDeltaLabel, xDeltaEdit);

  auto* graphGroup = new QGroupBox(QStringLiteral("Graph"));
  auto* graphGrid = new QGridLayout(graphGroup);
  graphGrid->addWidget(showMarks, 0, 0, 1, 2);
  graphGrid->addWidget(showLegend, 1, 0, 1, 2);
  graphGrid->addWidget(label("Line width:"), 2, 0);
  graphGrid->addWidget(lineWidthEdit, 2, 1);
  graphGrid->setRowStretch(3, 1);

  auto* meteoGroup = new QGroupBox(QStringLiteral("Meteo"));
  auto* meteoGrid = new QGridLayout(meteoGroup);
  meteoGrid->addWidget(temperature, 0, 0);
  meteoGrid->addWidget(pressure, 1, 0);
  meteoGrid->addWidget(windSpeed, 2, 0);
  meteoGrid->addWidget(windDirection, 3, 0);
  meteoGrid->addWidget(writeMeteodata, 0, 1);
  meteoGrid->addWidget(timeUtc, 1, 1);
  meteoGrid->addWidget(metricStyle, 2, 1);
  meteoGrid->addWidget(label("Show nearest:"), 1, 2);
  meteoGrid->addWidget(showNearestEdit, 1, 3);
  meteoGrid->addWidget(label("minures", Qt::AlignLeft | Qt::AlignVCenter), 1, 4);
  meteoGrid->addWidget(label("Show forecast"), 2, 2);
  meteoGrid->addWidget(forecastHoursBox, 2, 3);
  meteoGrid->addWidget(label("hours", Qt::AlignLeft | Qt::AlignVCenter), 2, 4);
  meteoGrid->addWidget(label("Show past"), 3, 2);
  meteoGrid->addWidget(pastHoursList, 3, 3);
  meteoGrid->addWidget(label("hours", Qt::AlignLeft | Qt::AlignVCenter), 3, 4);
  meteoGrid->addWidget(label("Report source:", Qt::AlignLeft | Qt::AlignVCenter), 4, 0);
  meteoGrid->addWidget(reportSource, 4, 1, 1, 4);

  auto* top = new QHBoxLayout;
  top->addWidget(yGroup);
  top->addWidget(xGroup);
  top->addWidget(graphGroup);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(meteoGroup);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // The tab order of the original form: the buttons first, then the
  // controls from top left to bottom right.
  QWidget* order[] = {okButton,    cancelButton, yAutoscale,     yShowNet, yMinEdit,      yDeltaEdit,
                      xShowNet,    showMarks,    showLegend,     lineWidthEdit, temperature, pressure,
                      windSpeed,   windDirection, writeMeteodata, timeUtc,  metricStyle,   showNearestEdit,
                      forecastHoursBox, pastHoursList, reportSource};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(okButton, &QPushButton::clicked, this, [this] { onOK(); });
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  // clicked, not toggled: setting the box from code must not run the handler.
  connect(yAutoscale, &QCheckBox::clicked, this, [this] { onAutoscale(); });
  load();
}

void ParametersDialog::load() {
  if (chart != nullptr) {
    showMarks->setChecked(chart->showMarks);
    showLegend->setChecked(chart->showLegend);
    setText(lineWidthEdit, std::to_string(chart->lineWidth));
    xShowNet->setChecked(chart->verticalNet);
    setText(xMinEdit, formatFixed(chart->xMin, 2));
    setText(xDeltaEdit, formatFixed(chart->xDelta, 2));
    yAutoscale->setChecked(chart->autoscale);
    yShowNet->setChecked(chart->horizontalNet);
    setText(yMinEdit, formatFixed(chart->yMin, 2));
    setText(yDeltaEdit, formatFixed(chart->yDelta, 2));
    onAutoscale();
  }
  if (settings != nullptr) {
    temperature->setChecked(settings->showTemperature);
    pressure->setChecked(settings->showPressure);
    windSpeed->setChecked(settings->showWindSpeed);
    windDirection->setChecked(settings->showWindDirection);
    writeMeteodata->setChecked(settings->writeMeteodata);
    timeUtc->setChecked(settings->timeUtc);
    metricStyle->setChecked(settings->metricStyle);
    setText(showNearestEdit, formatFixed(settings->nearestMinutes, 2));
    // A value that is not in the list leaves the list without a selection.
    pastHoursList->setCurrentIndex(
        pastHoursList->findText(toQString(std::to_string(settings->pastHours)), Qt::MatchExactly));
    reportSource->setCurrentIndex(settings->reportSource == ReportSource::kReportPages ? 1 : 0);
    forecastHoursBox->setValue(settings->forecastHours);
  }
}

void ParametersDialog::onAutoscale() {
  if (yAutoscale->isChecked()) {
    yMinEdit->setEnabled(false);
    yDeltaEdit->setEnabled(false);
  } else if (chart != nullptr) {
    setText(yMinEdit, formatFixed(chart->yMin, 2));
    setText(yDeltaEdit, formatFixed(chart->yDelta, 2));
    yMinEdit->setEnabled(true);
    yDeltaEdit->setEnabled(true);
  }
}

void ParametersDialog::onOK() {
  if (chart != nullptr) {
    chart->showMarks = showMarks->isChecked();
    chart->showLegend = showLegend->isChecked();
    chart->lineWidth = readInteger(text(lineWidthEdit));
    chart->verticalNet = xShowNet->isChecked();
    chart->xMin = readNumber(text(xMinEdit));
    chart->xDelta = readNumber(text(xDeltaEdit));
    chart->autoscale = yAutoscale->isChecked();
    chart->horizontalNet = yShowNet->isChecked();
    chart->yMin = readNumber(text(yMinEdit));
    chart->yDelta = readNumber(text(yDeltaEdit));
  }
  if (settings != nullptr) {
    settings->showTemperature = temperature->isChecked();
    settings->showPressure = pressure->isChecked();
    settings->showWindSpeed = windSpeed->isChecked();
    settings->showWindDirection = windDirection->isChecked();
    settings->writeMeteodata = writeMeteodata->isChecked();
    settings->timeUtc = timeUtc->isChecked();
    settings->metricStyle = metricStyle->isChecked();
    settings->nearestMinutes = readNumber(text(showNearestEdit));
    const QString hours = pastHoursList->currentIndex() < 0 ? QString() : pastHoursList->currentText();
    settings->pastHours = readInteger(fromQString(hours));
    settings->reportSource = reportSource->currentIndex() == 1 ? ReportSource::kReportPages : ReportSource::kLiveMetar;
    settings->forecastHours = forecastHoursBox->value();
  }
  accept();
}

bool showParametersDialog(QWidget* parent, Chart* chart, Settings& settings) {
  ParametersDialog dialog(chart, &settings, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace nimbrel
