#pragma once
// The modal "Parameters" dialog: the display options of a station chart and
// the program's settings, shown from them on opening and stored back only
// on OK. Numbers are read with atof/atoi rules, unchecked.
#include <QDialog>

#include "base/Settings.h"
#include "charts/Chart.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace nimbrel {

// The report store's limits as the dialog shows and edits them, with what
// the store holds now.
struct StoreLimits {
  int retentionDays = 30;
  int sizeLimitMegabytes = 500;
  QString usage;  // "12.5 MB: 1,234 reports of 56 stations"
};

class ParametersDialog : public QDialog {
  Q_OBJECT

 public:
  // chart may be null (the dialog opened from a map); neither is owned.
  ParametersDialog(Chart* chart, Settings* settings, QWidget* parent = nullptr, StoreLimits* store = nullptr);

  // Fills the controls from the chart and the settings.
  void load();
  // The Y autoscale box: off shows the chart's current range for editing.
  void onAutoscale();
  // Stores every control into the chart (if any) and the settings, closes.
  void onOK();

  // Controls, with their member names as object names.
  QPushButton* okButton;
  QPushButton* cancelButton;
  QCheckBox* yAutoscale;
  QCheckBox* yShowNet;
  QLineEdit* yMinEdit;
  QLineEdit* yDeltaEdit;
  QCheckBox* xAutoscale;
  QCheckBox* xShowNet;
  QLineEdit* xMinEdit;
  QLineEdit* xDeltaEdit;
  QCheckBox* showMarks;
  QCheckBox* showLegend;
  QLineEdit* lineWidthEdit;
  QCheckBox* temperature;
  QCheckBox* pressure;
  QCheckBox* windSpeed;
  QCheckBox* windDirection;
  QCheckBox* writeMeteodata;
  QCheckBox* timeUtc;
  QCheckBox* metricStyle;
  QCheckBox* aviationPanel;  // METAR charts show the aviation panel
  QLineEdit* showNearestEdit;
  QComboBox* pastHoursList;
  QSpinBox* forecastHoursBox;  // hours a chart with a forecast runs on past now
  QComboBox* reportSource;
  // The units values are shown in, and the presets that set them all.
  QComboBox* temperatureUnit;
  QComboBox* pressureUnit;
  QComboBox* speedUnit;
  QComboBox* visibilityUnit;
  QComboBox* heightUnit;
  QPushButton* aviationUnits;
  QPushButton* metricUnits;
  QPushButton* usUnits;
  // The report store's retention and size limit (shown with a store only).
  QSpinBox* retentionBox;
  QSpinBox* sizeLimitBox;
  QLabel* storeUsage;

  // Sets the unit lists to a unit set (a preset button's work).
  void showUnits(const DisplayUnits& units);
  DisplayUnits chosenUnits() const;

 private:
  Chart* chart;
  Settings* settings;
  StoreLimits* store;
};

// Runs the dialog on the chart (may be null) and the settings; true when it
// ended with OK.
// store: the report store's limits, edited too when given.
bool showParametersDialog(QWidget* parent, Chart* chart, Settings& settings, StoreLimits* store = nullptr);

}  // namespace nimbrel
