#pragma once
// The modal "Parameters" dialog: the display options of a station window's
// chart and the program's settings, shown from them on opening and stored
// back only on OK. Numbers are read with atof/atoi rules, unchecked.
#include <QDialog>

#include "catalog/Station.h"
#include "charts/Graph.h"
#include "platform/qt/DialogUnits.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace nimbrel {

class CDia_Parameters : public QDialog {
  Q_OBJECT

 public:
  static constexpr int IDD = 502;
  static constexpr int IDOK = 1;
  static constexpr int IDCANCEL = 2;

  explicit CDia_Parameters(QWidget* parent = nullptr);

  // Runs OnInitDialog and the dialog modally; IDOK or IDCANCEL.
  int DoModal();
  bool OnInitDialog();
  // The Y autoscale box: off shows the chart's current range for editing.
  void OnAutoscale();
  // Stores every control into the chart (if any) and the settings, closes.
  void OnOK();

  CGraph* chart = nullptr;       // not owned; null when opened without a chart
  CStation* settings = nullptr;  // not owned; the main frame's settings record

  // Controls, named by their ids ("IDC_Y_MIN", ...) as object names.
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
  QLineEdit* showNearestEdit;
  QComboBox* pastHoursList;

  // The dialog font's base units, from which every control was placed.
  DialogBaseUnits baseUnits;

 private:
  QCheckBox* AddCheckBox(const char* id, const char* text, int x, int y, int width, int height);
  QLineEdit* AddEdit(const char* id, int x, int y, int width, int height);
  QLabel* AddLabel(const char* text, bool rightAligned, int x, int y, int width, int height);
  void AddGroup(const char* text, int x, int y, int width, int height);
};

// The station window's Parameters command: runs the dialog on the chart
// (may be null) and the settings; true when it ended with OK.
bool ShowParametersDialog(QWidget* parent, CGraph* chart, CStation& settings);

}  // namespace nimbrel
