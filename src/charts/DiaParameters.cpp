#include "charts/DiaParameters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "charts/ChartText.h"
#include "platform/qt/QtText.h"

namespace nimbrel {
namespace {

QFont DialogFont() {
  // The template's face, or a metric-compatible sans where it is missing.
  QString family = QStringLiteral("Microsoft Sans Serif");
  if (!QFontDatabase::hasFamily(family)) family = QStringLiteral("Liberation Sans");
  QFont font(family);
  font.setPointSize(8);
  font.setWeight(QFont::Normal);
  return font;
}

void SetCheck(QCheckBox* box, bool on) { box->setChecked(on); }
bool GetCheck(const QCheckBox* box) { return box->isChecked(); }
void SetText(QLineEdit* edit, const std::string& text) { edit->setText(ToQString(text)); }
std::string GetText(const QLineEdit* edit) { return FromQString(edit->text()); }

const char* const kHourItems[] = {"1", "2", "3", "4", "5", "6", "12", "18", "24", "30", "36", "42", "48", "54", "60"};

}  // namespace

CDia_Parameters::CDia_Parameters(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Parameters"));
  setModal(true);
  setFont(DialogFont());
  baseUnits = BaseUnitsOf(font());
  setFixedSize(DialogRect(baseUnits, 0, 0, 369, 214).size());

  // Controls in tab order; group boxes are lowered so they never cover them.
  okButton = new QPushButton(QStringLiteral("OK"), this);
  okButton->setObjectName(QStringLiteral("IDOK"));
  okButton->setGeometry(DialogRect(baseUnits, 255, 193, 50, 14));
  okButton->setDefault(true);
  cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
  cancelButton->setObjectName(QStringLiteral("IDCANCEL"));
  cancelButton->setGeometry(DialogRect(baseUnits, 311, 193, 50, 14));
  yAutoscale = AddCheckBox("IDC_Y_AUTOSCALE", "Autoscale", 30, 23, 67, 10);
  yShowNet = AddCheckBox("IDC_Y_SHOW_NET", "Show net", 30, 41, 67, 10);
  yMinEdit = AddEdit("IDC_Y_MIN", 63, 60, 40, 14);
  yMinEdit->setEnabled(false);
  yDeltaEdit = AddEdit("IDC_Y_DELTA", 63, 80, 40, 14);
  yDeltaEdit->setEnabled(false);
  xAutoscale = AddCheckBox("IDC_X_AUTOSCALE", "Autoscale", 152, 23, 67, 10);
  xAutoscale->setVisible(false);
  xShowNet = AddCheckBox("IDC_X_SHOW_NET", "Show net", 152, 41, 67, 10);
  xMinEdit = AddEdit("IDC_X_MIN", 183, 60, 40, 14);
  xMinEdit->setVisible(false);
  xDeltaEdit = AddEdit("IDC_X_DELTA", 183, 80, 40, 14);
  xDeltaEdit->setVisible(false);
  showMarks = AddCheckBox("IDC_SHOW_MARKS", "Show marks", 274, 23, 67, 10);
  showLegend = AddCheckBox("IDC_SHOW_LEGEND", "Show legend", 274, 41, 67, 10);
  lineWidthEdit = AddEdit("IDC_LINE_WIDTH", 325, 60, 18, 14);
  temperature = AddCheckBox("IDC_TEMPERATURE", "Temperature", 30, 124, 67, 10);
  pressure = AddCheckBox("IDC_PRESSURE", "Pressure", 30, 139, 67, 10);
  windSpeed = AddCheckBox("IDC_WIND_SPEED", "Wind speed", 30, 154, 67, 10);
  windDirection = AddCheckBox("IDC_WIND_DIRECTION", "Wind direction", 30, 169, 67, 10);
  writeMeteodata = AddCheckBox("IDC_WRITE_METEODATA", "Write meteodata to file", 152, 124, 89, 10);
  timeUtc = AddCheckBox("IDC_TIME_UTC", "Time UTC", 152, 139, 58, 10);
  metricStyle = AddCheckBox("IDC_METRIC_STYLE", "Metric style", 152, 154, 58, 10);
  showNearestEdit = AddEdit("IDC_SHOW_NEAREST", 287, 137, 32, 12);
  pastHoursList = new QComboBox(this);
  pastHoursList->setObjectName(QStringLiteral("IDC_SHOW_PAST_HOURS"));
  for (const char* item : kHourItems) pastHoursList->addItem(ToQString(item));
  // The template's 30 units include the dropped-down list; the closed box
  // is one line high.
  QRect hoursRect = DialogRect(baseUnits, 287, 167, 32, 30);
  hoursRect.setHeight(std::max(pastHoursList->sizeHint().height(), DialogRect(baseUnits, 0, 0, 0, 12).height()));
  pastHoursList->setGeometry(hoursRect);
  pastHoursList->setMaxVisibleItems(15);

  AddGroup("Y Axe", 7, 7, 113, 95);
  AddLabel("Y min:", true, 21, 66, 33, 8);
  AddLabel("Y delta:", true, 21, 86, 33, 8);
  AddGroup("X Axe", 127, 7, 113, 95);
  AddLabel("X min:", true, 142, 66, 33, 8)->setVisible(false);
  AddLabel("X delta:", true, 142, 86, 33, 8)->setVisible(false);
  AddGroup("Graph", 249, 7, 113, 94);
  AddLabel("Line width:", true, 261, 66, 58, 8);
  AddGroup("Meteo", 7, 105, 355, 82);
  AddLabel("Show past", true, 238, 171, 41, 8);
  AddLabel("hours", false, 324, 171, 27, 8);
  AddLabel("Show nearest:", true, 233, 141, 46, 8);
  AddLabel("minures", false, 324, 141, 27, 8);

  connect(okButton, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  // clicked, not toggled: setting the box from code must not run the handler.
  connect(yAutoscale, &QCheckBox::clicked, this, [this] { OnAutoscale(); });
}

QCheckBox* CDia_Parameters::AddCheckBox(const char* id, const char* text, int x, int y, int width, int height) {
  auto* box = new QCheckBox(ToQString(text), this);
  box->setObjectName(ToQString(id));
  box->setGeometry(DialogRect(baseUnits, x, y, width, height));
  return box;
}

QLineEdit* CDia_Parameters::AddEdit(const char* id, int x, int y, int width, int height) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(ToQString(id));
  edit->setAlignment(Qt::AlignCenter);
  edit->setGeometry(DialogRect(baseUnits, x, y, width, height));
  return edit;
}

QLabel* CDia_Parameters::AddLabel(const char* text, bool rightAligned, int x, int y, int width, int height) {
  auto* label = new QLabel(ToQString(text), this);
  label->setAlignment((rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
  label->setGeometry(DialogRect(baseUnits, x, y, width, height));
  label->lower();
  return label;
}

void CDia_Parameters::AddGroup(const char* text, int x, int y, int width, int height) {
  auto* group = new QGroupBox(ToQString(text), this);
  group->setGeometry(DialogRect(baseUnits, x, y, width, height));
  group->lower();
}

int CDia_Parameters::DoModal() {
  OnInitDialog();
  return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool CDia_Parameters::OnInitDialog() {
  if (chart != nullptr) {
    SetCheck(showMarks, chart->showMarks);
    SetCheck(showLegend, chart->showLegend);
    SetText(lineWidthEdit, std::to_string(chart->lineWidth));
    SetCheck(xShowNet, chart->verticalNet);
    SetText(xMinEdit, FormatFixed(chart->xMin, 2));
    SetText(xDeltaEdit, FormatFixed(chart->xDelta, 2));
    SetCheck(yAutoscale, chart->autoscale);
    SetCheck(yShowNet, chart->horizontalNet);
    SetText(yMinEdit, FormatFixed(chart->yMin, 2));
    SetText(yDeltaEdit, FormatFixed(chart->yDelta, 2));
    OnAutoscale();
  }
  if (settings != nullptr) {
    SetCheck(temperature, settings->showTemperature());
    SetCheck(pressure, settings->showPressure());
    SetCheck(windSpeed, settings->showWindSpeed());
    SetCheck(windDirection, settings->showWindDirection());
    SetCheck(writeMeteodata, settings->writeMeteodata());
    SetCheck(timeUtc, settings->timeUtc());
    SetCheck(metricStyle, settings->metricStyle());
    SetText(showNearestEdit, FormatFixed(settings->nearestMinutes(), 2));
    // A value that is not in the list leaves the list without a selection.
    pastHoursList->setCurrentIndex(pastHoursList->findText(ToQString(std::to_string(settings->pastHours())), Qt::MatchExactly));
  }
  return true;
}

void CDia_Parameters::OnAutoscale() {
  if (GetCheck(yAutoscale)) {
    yMinEdit->setEnabled(false);
    yDeltaEdit->setEnabled(false);
  } else if (chart != nullptr) {
    SetText(yMinEdit, FormatFixed(chart->yMin, 2));
    SetText(yDeltaEdit, FormatFixed(chart->yDelta, 2));
    yMinEdit->setEnabled(true);
    yDeltaEdit->setEnabled(true);
  }
}

void CDia_Parameters::OnOK() {
  if (chart != nullptr) {
    chart->showMarks = GetCheck(showMarks);
    chart->showLegend = GetCheck(showLegend);
    chart->lineWidth = ReadInteger(GetText(lineWidthEdit));
    chart->verticalNet = GetCheck(xShowNet);
    chart->xMin = ReadNumber(GetText(xMinEdit));
    chart->xDelta = ReadNumber(GetText(xDeltaEdit));
    chart->autoscale = GetCheck(yAutoscale);
    chart->horizontalNet = GetCheck(yShowNet);
    chart->yMin = ReadNumber(GetText(yMinEdit));
    chart->yDelta = ReadNumber(GetText(yDeltaEdit));
  }
  if (settings != nullptr) {
    settings->showTemperature() = GetCheck(temperature);
    settings->showPressure() = GetCheck(pressure);
    settings->showWindSpeed() = GetCheck(windSpeed);
    settings->showWindDirection() = GetCheck(windDirection);
    settings->writeMeteodata() = GetCheck(writeMeteodata);
    settings->timeUtc() = GetCheck(timeUtc);
    settings->metricStyle() = GetCheck(metricStyle);
    settings->nearestMinutes() = ReadNumber(GetText(showNearestEdit));
    const QString hours = pastHoursList->currentIndex() < 0 ? QString() : pastHoursList->currentText();
    settings->pastHours() = ReadInteger(FromQString(hours));
  }
  accept();
}

bool ShowParametersDialog(QWidget* parent, CGraph* chart, CStation& settings) {
  CDia_Parameters dialog(parent);
  dialog.chart = chart;
  dialog.settings = &settings;
  return dialog.DoModal() == CDia_Parameters::IDOK;
}

}  // namespace nimbrel
