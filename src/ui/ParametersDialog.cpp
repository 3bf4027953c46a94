#include "ui/ParametersDialog.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <string>

#include "charts/ChartText.h"
#include "services/QtText.h"

namespace nimbrel {
namespace {

// Past two and a half days the hours come from the report store (the
// service keeps 15 days; the store as many as its retention).
const char* const kHourItems[] = {"1",  "2",  "3",  "4",  "5",  "6",   "12",  "18",  "24",
                                  "30", "36", "42", "48", "54", "60", "120", "240", "360", "720"};

void setText(QLineEdit* edit, const std::string& text) { edit->setText(toQString(text)); }
std::string text(const QLineEdit* edit) { return fromQString(edit->text()); }

// The texts come marked for translation (QT_TRANSLATE_NOOP) and are
// translated here.
QString translated(const char* text) { return QCoreApplication::translate("ParametersDialog", text); }

QCheckBox* checkBox(const char* id, const char* text) {
  auto* box = new QCheckBox(translated(text));
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

QComboBox* comboBox(const char* name, std::initializer_list<const char*> items) {
  auto* box = new QComboBox;
  box->setObjectName(toQString(name));
  for (const char* item : items) box->addItem(toQString(item));
  return box;
}

QPushButton* button(const char* name, const char* text) {
  auto* button = new QPushButton(translated(text));
  button->setObjectName(toQString(name));
  button->setAutoDefault(false);
  return button;
}

// Visibility is reported in statute miles in North America.
bool statuteMileRegion() {
  const QLocale::Territory territory = QLocale::system().territory();
  return territory == QLocale::UnitedStates || territory == QLocale::Canada;
}

QLabel* label(const char* text, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter) {
  auto* label = new QLabel(translated(text));
  label->setAlignment(alignment);
  return label;
}

}  // namespace

ParametersDialog::ParametersDialog(Chart* chart, Settings* settings, QWidget* parent, StoreLimits* store)
    : QDialog(parent), chart(chart), settings(settings), store(store) {
  setWindowTitle(tr("Parameters"));
  setModal(true);

  okButton = new QPushButton(tr("OK"));
  okButton->setObjectName(QStringLiteral("okButton"));
  okButton->setDefault(true);
  cancelButton = new QPushButton(tr("Cancel"));
  cancelButton->setObjectName(QStringLiteral("cancelButton"));
  yAutoscale = checkBox("yAutoscale", QT_TRANSLATE_NOOP("ParametersDialog", "Autoscale"));
  yShowNet = checkBox("yShowNet", QT_TRANSLATE_NOOP("ParametersDialog", "Show net"));
  yMinEdit = edit("yMinEdit", 7);
  yDeltaEdit = edit("yDeltaEdit", 7);
  xAutoscale = checkBox("xAutoscale", QT_TRANSLATE_NOOP("ParametersDialog", "Autoscale"));
  xShowNet = checkBox("xShowNet", QT_TRANSLATE_NOOP("ParametersDialog", "Show net"));
  xMinEdit = edit("xMinEdit", 7);
  xDeltaEdit = edit("xDeltaEdit", 7);
  showMarks = checkBox("showMarks", QT_TRANSLATE_NOOP("ParametersDialog", "Show marks"));
  showLegend = checkBox("showLegend", QT_TRANSLATE_NOOP("ParametersDialog", "Show legend"));
  lineWidthEdit = edit("lineWidthEdit", 3);
  temperature = checkBox("temperature", QT_TRANSLATE_NOOP("ParametersDialog", "Temperature"));
  pressure = checkBox("pressure", QT_TRANSLATE_NOOP("ParametersDialog", "Pressure"));
  windSpeed = checkBox("windSpeed", QT_TRANSLATE_NOOP("ParametersDialog", "Wind speed"));
  windDirection = checkBox("windDirection", QT_TRANSLATE_NOOP("ParametersDialog", "Wind direction"));
  writeMeteodata = checkBox("writeMeteodata", QT_TRANSLATE_NOOP("ParametersDialog", "Write meteodata to file"));
  timeUtc = checkBox("timeUtc", QT_TRANSLATE_NOOP("ParametersDialog", "Time UTC"));
  metricStyle = checkBox("metricStyle", QT_TRANSLATE_NOOP("ParametersDialog", "Metric style"));
  aviationPanel = checkBox("aviationPanel", QT_TRANSLATE_NOOP("ParametersDialog", "Aviation panel"));
  showNearestEdit = edit("showNearestEdit", 6);
  pastHoursList = new QComboBox;
  pastHoursList->setObjectName(QStringLiteral("pastHoursList"));
  for (const char* item : kHourItems) pastHoursList->addItem(toQString(item));
  pastHoursList->setMaxVisibleItems(15);
  forecastHoursBox = new QSpinBox;
  forecastHoursBox->setObjectName(QStringLiteral("forecastHoursBox"));
  forecastHoursBox->setRange(0, kMostForecastHours);
  reportSource = new QComboBox;
  reportSource->setObjectName(QStringLiteral("reportSource"));
  reportSource->addItem(tr("Live METAR (aviation weather service)"));
  reportSource->addItem(tr("Report pages (service host)"));
  // Windows-1252 degree signs, as every text of the program.
  temperatureUnit = comboBox("temperatureUnit", {"\xB0" "C", "\xB0" "F"});
  pressureUnit = comboBox("pressureUnit", {"hPa", "inHg"});
  speedUnit = comboBox("speedUnit", {"kt", "m/s", "km/h", "mph"});
  visibilityUnit = comboBox("visibilityUnit", {"m or km", "statute miles"});
  heightUnit = comboBox("heightUnit", {"ft", "m"});
  aviationUnits = button("aviationUnits", QT_TRANSLATE_NOOP("ParametersDialog", "Aviation"));
  metricUnits = button("metricUnits", QT_TRANSLATE_NOOP("ParametersDialog", "Metric"));
  usUnits = button("usUnits", QT_TRANSLATE_NOOP("ParametersDialog", "US"));
  yMinEdit->setEnabled(false);
  yDeltaEdit->setEnabled(false);

  // The X axis takes its range from the rows: only its net can be chosen.
  auto* xMinLabel = label(QT_TRANSLATE_NOOP("ParametersDialog", "X min:"));
  auto* xDeltaLabel = label(QT_TRANSLATE_NOOP("ParametersDialog", "X delta:"));
  for (QWidget* hidden : std::initializer_list<QWidget*>{xAutoscale, xMinEdit, xDeltaEdit, xMinLabel, xDeltaLabel}) {
    QSizePolicy policy = hidden->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    hidden->setSizePolicy(policy);
    hidden->setVisible(false);
  }

  auto axisGroup = [](const char* title, QCheckBox* autoscale, QCheckBox* net, QLabel* minLabel, QLineEdit* minEdit,
                      QLabel* deltaLabel, QLineEdit* deltaEdit) {
    auto* group = new QGroupBox(translated(title));
    auto* grid = new QGridLayout(group);
    grid->addWidget(autoscale, 0, 0, 1, 2);
    grid->addWidget(net, 1, 0, 1, 2);
    grid->addWidget(minLabel, 2, 0);
    grid->addWidget(minEdit, 2, 1);
    grid->addWidget(deltaLabel, 3, 0);
    grid->addWidget(deltaEdit, 3, 1);
    return group;
  };
  auto* yGroup = axisGroup(QT_TRANSLATE_NOOP("ParametersDialog", "Y Axe"), yAutoscale, yShowNet, label(QT_TRANSLATE_NOOP("ParametersDialog", "Y min:")), yMinEdit, label(QT_TRANSLATE_NOOP("ParametersDialog", "Y delta:")), yDeltaEdit);
  auto* xGroup = axisGroup(QT_TRANSLATE_NOOP("ParametersDialog", "X Axe"), xAutoscale, xShowNet, xMinLabel, xMinEdit, xDeltaLabel, xDeltaEdit);

  auto* graphGroup = new QGroupBox(tr("Graph"));
  auto* graphGrid = new QGridLayout(graphGroup);
  graphGrid->addWidget(showMarks, 0, 0, 1, 2);
  graphGrid->addWidget(showLegend, 1, 0, 1, 2);
  graphGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "Line width:")), 2, 0);
  graphGrid->addWidget(lineWidthEdit, 2, 1);
  graphGrid->setRowStretch(3, 1);

  auto* meteoGroup = new QGroupBox(tr("Meteo"));
  auto* meteoGrid = new QGridLayout(meteoGroup);
  meteoGrid->addWidget(temperature, 0, 0);
  meteoGrid->addWidget(pressure, 1, 0);
  meteoGrid->addWidget(windSpeed, 2, 0);
  meteoGrid->addWidget(windDirection, 3, 0);
  meteoGrid->addWidget(writeMeteodata, 0, 1);
  meteoGrid->addWidget(timeUtc, 1, 1);
  meteoGrid->addWidget(metricStyle, 2, 1);
  meteoGrid->addWidget(aviationPanel, 3, 1);
  meteoGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "Show nearest:")), 1, 2);
  meteoGrid->addWidget(showNearestEdit, 1, 3);
  meteoGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "minures"), Qt::AlignLeft | Qt::AlignVCenter), 1, 4);
  meteoGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "Show forecast")), 2, 2);
  meteoGrid->addWidget(forecastHoursBox, 2, 3);
  meteoGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "hours"), Qt::AlignLeft | Qt::AlignVCenter), 2, 4);
  meteoGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "Show past")), 3, 2);
  meteoGrid->addWidget(pastHoursList, 3, 3);
  meteoGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "hours"), Qt::AlignLeft | Qt::AlignVCenter), 3, 4);
  meteoGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "Report source:"), Qt::AlignLeft | Qt::AlignVCenter), 4, 0);
  meteoGrid->addWidget(reportSource, 4, 1, 1, 4);

  auto* unitsGroup = new QGroupBox(tr("Units"));
  auto* unitsGrid = new QGridLayout(unitsGroup);
  unitsGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "Temperature:")), 0, 0);
  unitsGrid->addWidget(temperatureUnit, 0, 1);
  unitsGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "Pressure:")), 0, 2);
  unitsGrid->addWidget(pressureUnit, 0, 3);
  unitsGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "Wind speed:")), 0, 4);
  unitsGrid->addWidget(speedUnit, 0, 5);
  unitsGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "Visibility:")), 1, 0);
  unitsGrid->addWidget(visibilityUnit, 1, 1);
  unitsGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "Heights:")), 1, 2);
  unitsGrid->addWidget(heightUnit, 1, 3);
  auto* presets = new QHBoxLayout;
  presets->addWidget(aviationUnits);
  presets->addWidget(metricUnits);
  presets->addWidget(usUnits);
  unitsGrid->addLayout(presets, 1, 4, 1, 2);

  retentionBox = new QSpinBox;
  retentionBox->setObjectName(QStringLiteral("retentionBox"));
  retentionBox->setRange(1, 365);
  sizeLimitBox = new QSpinBox;
  sizeLimitBox->setObjectName(QStringLiteral("sizeLimitBox"));
  sizeLimitBox->setRange(1, 1024 * 1024);
  storeUsage = new QLabel;
  storeUsage->setObjectName(QStringLiteral("storeUsage"));
  auto* storeGroup = new QGroupBox(tr("Report store"));
  storeGroup->setObjectName(QStringLiteral("storeGroup"));
  auto* storeGrid = new QGridLayout(storeGroup);
  storeGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "Keep reports for")), 0, 0);
  storeGrid->addWidget(retentionBox, 0, 1);
  storeGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "days"), Qt::AlignLeft | Qt::AlignVCenter), 0, 2);
  storeGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "Size limit:")), 0, 3);
  storeGrid->addWidget(sizeLimitBox, 0, 4);
  storeGrid->addWidget(label(QT_TRANSLATE_NOOP("ParametersDialog", "MB"), Qt::AlignLeft | Qt::AlignVCenter), 0, 5);
  storeGrid->addWidget(storeUsage, 1, 0, 1, 6);
  storeGroup->setVisible(store != nullptr);

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
  layout->addWidget(unitsGroup);
  layout->addWidget(storeGroup);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // The tab order of the original form: the buttons first, then the
  // controls from top left to bottom right.
  QWidget* order[] = {okButton,    cancelButton, yAutoscale,     yShowNet, yMinEdit,      yDeltaEdit,
                      xShowNet,    showMarks,    showLegend,     lineWidthEdit, temperature, pressure,
                      windSpeed,   windDirection, writeMeteodata, timeUtc,  metricStyle,   aviationPanel, showNearestEdit,
                      forecastHoursBox, pastHoursList, reportSource, temperatureUnit, pressureUnit, speedUnit,
                      visibilityUnit, heightUnit, aviationUnits, metricUnits, usUnits, retentionBox, sizeLimitBox};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(okButton, &QPushButton::clicked, this, [this] { onOK(); });
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  // clicked, not toggled: setting the box from code must not run the handler.
  connect(yAutoscale, &QCheckBox::clicked, this, [this] { onAutoscale(); });
  connect(aviationUnits, &QPushButton::clicked, this,
          [this] { showUnits(unitPreset(UnitPreset::kAviation, statuteMileRegion())); });
  connect(metricUnits, &QPushButton::clicked, this, [this] { showUnits(unitPreset(UnitPreset::kMetric)); });
  connect(usUnits, &QPushButton::clicked, this, [this] { showUnits(unitPreset(UnitPreset::kUs)); });
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
    aviationPanel->setChecked(settings->showAviationPanel);
    setText(showNearestEdit, formatFixed(settings->nearestMinutes, 2));
    // A value that is not in the list leaves the list without a selection.
    pastHoursList->setCurrentIndex(
        pastHoursList->findText(toQString(std::to_string(settings->pastHours)), Qt::MatchExactly));
    reportSource->setCurrentIndex(settings->reportSource == ReportSource::kReportPages ? 1 : 0);
    forecastHoursBox->setValue(settings->forecastHours);
    showUnits(settings->units);
  }
  if (store != nullptr) {
    retentionBox->setValue(store->retentionDays);
    sizeLimitBox->setValue(store->sizeLimitMegabytes);
    storeUsage->setText(store->usage);
  }
}

void ParametersDialog::showUnits(const DisplayUnits& units) {
  temperatureUnit->setCurrentIndex(static_cast<int>(units.temperature));
  pressureUnit->setCurrentIndex(static_cast<int>(units.pressure));
  speedUnit->setCurrentIndex(static_cast<int>(units.speed));
  visibilityUnit->setCurrentIndex(static_cast<int>(units.visibility));
  heightUnit->setCurrentIndex(static_cast<int>(units.height));
}

DisplayUnits ParametersDialog::chosenUnits() const {
  // The lists hold the units in their enums' order.
  return {static_cast<TemperatureUnit>(temperatureUnit->currentIndex()),
          static_cast<PressureUnit>(pressureUnit->currentIndex()), static_cast<SpeedUnit>(speedUnit->currentIndex()),
          static_cast<VisibilityUnit>(visibilityUnit->currentIndex()), static_cast<HeightUnit>(heightUnit->currentIndex())};
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
    settings->showAviationPanel = aviationPanel->isChecked();
    settings->nearestMinutes = readNumber(text(showNearestEdit));
    const QString hours = pastHoursList->currentIndex() < 0 ? QString() : pastHoursList->currentText();
    settings->pastHours = readInteger(fromQString(hours));
    settings->reportSource = reportSource->currentIndex() == 1 ? ReportSource::kReportPages : ReportSource::kLiveMetar;
    settings->forecastHours = forecastHoursBox->value();
    settings->units = chosenUnits();
  }
  if (store != nullptr) {
    store->retentionDays = retentionBox->value();
    store->sizeLimitMegabytes = sizeLimitBox->value();
  }
  accept();
}

bool showParametersDialog(QWidget* parent, Chart* chart, Settings& settings, StoreLimits* store) {
  ParametersDialog dialog(chart, &settings, parent, store);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace nimbrel
