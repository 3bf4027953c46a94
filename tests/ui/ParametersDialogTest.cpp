// The Parameters dialog: shown from the chart and settings, stored on OK
// only, laid out from its dialog units.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "ChartTestSupport.h"
#include "ui/ParametersDialog.h"
#include "ui/QtText.h"
#include "support/RecordingDrawContext.h"

namespace nimbrel::test {
namespace {

template <typename T>
T* Control(QWidget& dialog, const char* name) {
  T* control = dialog.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << name;
  return control;
}

QString Text(QWidget& dialog, const char* name) { return Control<QLineEdit>(dialog, name)->text(); }

struct Fixture {
  Fixture() {
    setDefaultSettings(settings);
    dialog.chart = &chart;
    dialog.settings = &settings;
  }
  Chart chart;
  Station settings;
  ParametersDialog dialog;
};

TEST(DiaParameters, OpensWithTheChartAndTheSettings) {
  Fixture f;
  f.chart.showMarks = true;
  f.chart.showLegend = false;
  f.chart.lineWidth = 3;
  f.chart.verticalNet = false;
  f.chart.xMin = 1.5;
  f.chart.yDelta = 3.14159;
  f.settings.timeUtc() = true;
  f.settings.showPressure() = false;
  f.settings.nearestMinutes() = 90.0;
  f.settings.pastHours() = 12;
  f.dialog.onInitDialog();
  QWidget& d = f.dialog;
  EXPECT_TRUE(Control<QCheckBox>(d, "IDC_SHOW_MARKS")->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(d, "IDC_SHOW_LEGEND")->isChecked());
  EXPECT_EQ(Text(d, "IDC_LINE_WIDTH"), "3");
  EXPECT_FALSE(Control<QCheckBox>(d, "IDC_X_SHOW_NET")->isChecked());
  EXPECT_EQ(Text(d, "IDC_X_MIN"), "1.50");
  EXPECT_EQ(Text(d, "IDC_X_DELTA"), "10.00");
  EXPECT_TRUE(Control<QCheckBox>(d, "IDC_Y_SHOW_NET")->isChecked());
  EXPECT_EQ(Text(d, "IDC_Y_MIN"), "-20.00");
  EXPECT_EQ(Text(d, "IDC_Y_DELTA"), "3.14");
  EXPECT_TRUE(Control<QLineEdit>(d, "IDC_Y_MIN")->isEnabled());  // autoscale off: editable
  EXPECT_TRUE(Control<QCheckBox>(d, "IDC_TEMPERATURE")->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(d, "IDC_PRESSURE")->isChecked());
  EXPECT_TRUE(Control<QCheckBox>(d, "IDC_TIME_UTC")->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(d, "IDC_WRITE_METEODATA")->isChecked());
  EXPECT_TRUE(Control<QCheckBox>(d, "IDC_METRIC_STYLE")->isChecked());
  EXPECT_EQ(Text(d, "IDC_SHOW_NEAREST"), "90.00");
  EXPECT_EQ(Control<QComboBox>(d, "IDC_SHOW_PAST_HOURS")->currentText(), "12");
}

TEST(DiaParameters, OkWithoutChangesKeepsEverythingButRounding) {
  Fixture f;
  f.chart.yDelta = 3.14159;
  f.chart.yMin = -7.126;
  f.chart.autoscale = true;
  f.chart.horizontalNet = false;
  f.settings.pastHours() = 7;  // not in the list
  f.settings.showWindSpeed() = false;
  const Chart before = f.chart;
  f.dialog.onInitDialog();
  EXPECT_FALSE(Control<QLineEdit>(f.dialog, "IDC_Y_MIN")->isEnabled());
  EXPECT_EQ(Control<QComboBox>(f.dialog, "IDC_SHOW_PAST_HOURS")->currentIndex(), -1);
  QTest::mouseClick(Control<QPushButton>(f.dialog, "IDOK"), Qt::LeftButton);
  EXPECT_EQ(f.dialog.result(), QDialog::Accepted);
  EXPECT_EQ(f.chart.yDelta, 3.14);
  EXPECT_EQ(f.chart.yMin, -7.13);
  EXPECT_TRUE(f.chart.autoscale);
  EXPECT_FALSE(f.chart.horizontalNet);
  EXPECT_EQ(f.chart.lineWidth, before.lineWidth);
  EXPECT_EQ(f.chart.xMin, before.xMin);
  EXPECT_EQ(f.chart.xDelta, before.xDelta);
  EXPECT_EQ(f.chart.showMarks, before.showMarks);
  EXPECT_EQ(f.chart.showLegend, before.showLegend);
  EXPECT_EQ(f.chart.verticalNet, before.verticalNet);
  EXPECT_EQ(f.settings.pastHours(), 0);
  EXPECT_FALSE(f.settings.showWindSpeed());
  EXPECT_TRUE(f.settings.showTemperature());
  EXPECT_EQ(f.settings.nearestMinutes(), 90.0);

  for (int hours : {1, 12, 60}) {
    Fixture g;
    g.settings.pastHours() = hours;
    g.dialog.onInitDialog();
    EXPECT_EQ(Control<QComboBox>(g.dialog, "IDC_SHOW_PAST_HOURS")->currentText(), QString::number(hours));
    g.settings.pastHours() = -1;
    g.dialog.onOK();
    EXPECT_EQ(g.settings.pastHours(), hours);
  }
}

TEST(DiaParameters, OkStoresEditedFieldsByAtofAndAtoi) {
  Fixture f;
  f.dialog.onInitDialog();
  QWidget& d = f.dialog;
  Control<QLineEdit>(d, "IDC_LINE_WIDTH")->setText("2 px");
  Control<QLineEdit>(d, "IDC_Y_MIN")->setText("  -5.5abc");
  Control<QLineEdit>(d, "IDC_Y_DELTA")->setText("zero");
  Control<QLineEdit>(d, "IDC_SHOW_NEAREST")->setText("far");
  QTest::mouseClick(Control<QCheckBox>(d, "IDC_SHOW_MARKS"), Qt::LeftButton, {}, QPoint(5, 5));
  Control<QCheckBox>(d, "IDC_METRIC_STYLE")->setChecked(false);
  Control<QCheckBox>(d, "IDC_WRITE_METEODATA")->setChecked(true);
  Control<QComboBox>(d, "IDC_SHOW_PAST_HOURS")->setCurrentIndex(14);
  f.dialog.onOK();
  EXPECT_EQ(f.chart.lineWidth, 2);
  EXPECT_EQ(f.chart.yMin, -5.5);
  EXPECT_EQ(f.chart.yDelta, 0.0);  // the chart guards the zero step when it draws
  EXPECT_TRUE(f.chart.showMarks);
  EXPECT_EQ(f.settings.nearestMinutes(), 0.0);
  EXPECT_FALSE(f.settings.metricStyle());
  EXPECT_TRUE(f.settings.writeMeteodata());
  EXPECT_EQ(f.settings.pastHours(), 60);
}

TEST(DiaParameters, CancelStoresNothing) {
  Fixture f;
  const Station settingsBefore = f.settings;
  f.dialog.onInitDialog();
  QWidget& d = f.dialog;
  Control<QLineEdit>(d, "IDC_Y_DELTA")->setText("42");
  Control<QLineEdit>(d, "IDC_LINE_WIDTH")->setText("9");
  Control<QCheckBox>(d, "IDC_TEMPERATURE")->setChecked(false);
  Control<QComboBox>(d, "IDC_SHOW_PAST_HOURS")->setCurrentIndex(0);
  QTest::mouseClick(Control<QPushButton>(d, "IDCANCEL"), Qt::LeftButton);
  EXPECT_EQ(f.dialog.result(), QDialog::Rejected);
  EXPECT_EQ(f.chart.yDelta, 5.0);
  EXPECT_EQ(f.chart.lineWidth, 1);
  EXPECT_EQ(f.settings, settingsBefore);
}

TEST(DiaParameters, ClearingAutoscaleShowsTheLastComputedRange) {
  FixedOwner owner(800, ClientHeightForPlot(400));
  Chart chart(&owner);
  AddPlainSeries(chart, 1);
  chart.addRow({"a", "-3.2"});
  chart.addRow({"b", "24.6"});
  chart.autoscale = true;
  RecordingDrawContext dc;
  chart.draw(dc);
  Station settings;
  ParametersDialog dialog;
  dialog.chart = &chart;
  dialog.settings = &settings;
  dialog.onInitDialog();
  auto* autoscale = Control<QCheckBox>(dialog, "IDC_Y_AUTOSCALE");
  auto* yMin = Control<QLineEdit>(dialog, "IDC_Y_MIN");
  auto* yDelta = Control<QLineEdit>(dialog, "IDC_Y_DELTA");
  EXPECT_FALSE(yMin->isEnabled());
  EXPECT_FALSE(yDelta->isEnabled());
  dialog.show();
  QTest::mouseClick(autoscale, Qt::LeftButton, {}, QPoint(5, autoscale->height() / 2));
  EXPECT_FALSE(autoscale->isChecked());
  EXPECT_TRUE(yMin->isEnabled());
  EXPECT_EQ(yMin->text(), "-3.20");
  EXPECT_EQ(yDelta->text(), "4.00");
  QTest::mouseClick(autoscale, Qt::LeftButton, {}, QPoint(5, autoscale->height() / 2));
  EXPECT_FALSE(yMin->isEnabled());
  dialog.reject();
}

TEST(DiaParameters, WithoutAChartOnlyTheSettingsAreStored) {
  Station settings;
  setDefaultSettings(settings);
  ParametersDialog dialog;
  dialog.settings = &settings;
  dialog.onInitDialog();
  EXPECT_FALSE(Control<QCheckBox>(dialog, "IDC_SHOW_LEGEND")->isChecked());
  EXPECT_TRUE(Text(dialog, "IDC_Y_MIN").isEmpty());
  EXPECT_FALSE(Control<QLineEdit>(dialog, "IDC_Y_MIN")->isEnabled());
  QTest::mouseClick(Control<QCheckBox>(dialog, "IDC_Y_AUTOSCALE"), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(Control<QLineEdit>(dialog, "IDC_Y_MIN")->isEnabled());
  Control<QCheckBox>(dialog, "IDC_TIME_UTC")->setChecked(true);
  dialog.onOK();
  EXPECT_TRUE(settings.timeUtc());
}

TEST(DiaParameters, TemplateTextsVisibilityAndLayout) {
  ParametersDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Parameters");
  QStringList labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>())
    if (!label->isHidden()) labels << label->text();
  for (const char* text : {"Y min:", "Y delta:", "Line width:", "Show past", "hours", "Show nearest:", "minures"})
    EXPECT_TRUE(labels.contains(QString::fromLatin1(text))) << text;
  EXPECT_FALSE(labels.contains("X min:"));
  EXPECT_TRUE(Control<QCheckBox>(dialog, "IDC_X_AUTOSCALE")->isHidden());
  EXPECT_TRUE(Control<QLineEdit>(dialog, "IDC_X_MIN")->isHidden());
  EXPECT_TRUE(Control<QLineEdit>(dialog, "IDC_X_DELTA")->isHidden());
  EXPECT_FALSE(Control<QCheckBox>(dialog, "IDC_X_SHOW_NET")->isHidden());
  EXPECT_EQ(Control<QCheckBox>(dialog, "IDC_WRITE_METEODATA")->text(), "Write meteodata to file");
  EXPECT_EQ(Control<QCheckBox>(dialog, "IDC_WIND_DIRECTION")->text(), "Wind direction");

  auto* hours = Control<QComboBox>(dialog, "IDC_SHOW_PAST_HOURS");
  QStringList items;
  for (int i = 0; i < hours->count(); ++i) items << hours->itemText(i);
  EXPECT_EQ(items.join(','), "1,2,3,4,5,6,12,18,24,30,36,42,48,54,60");

  // Positions come from dialog units through the dialog font.
  const DialogBaseUnits units = dialog.baseUnits;
  EXPECT_GT(units.x, 2);
  EXPECT_GT(units.y, 8);
  EXPECT_EQ(Control<QLineEdit>(dialog, "IDC_Y_MIN")->geometry(), dialogRect(units, 63, 60, 40, 14));
  EXPECT_EQ(Control<QPushButton>(dialog, "IDOK")->geometry(), dialogRect(units, 255, 193, 50, 14));
  EXPECT_EQ(dialog.size(), dialogRect(units, 0, 0, 369, 214).size());
  EXPECT_EQ(dialogRect(DialogBaseUnits{6, 13}, 30, 23, 67, 10), QRect(45, 37, 101, 16));

  // Tab order follows the template: OK, Cancel, Y autoscale, ...
  EXPECT_EQ(Control<QPushButton>(dialog, "IDOK")->nextInFocusChain(), Control<QPushButton>(dialog, "IDCANCEL"));
  EXPECT_TRUE(Control<QPushButton>(dialog, "IDOK")->isDefault());
}

TEST(DiaParameters, ShowParametersDialogRunsModallyAndReportsOk) {
  Chart chart;
  Station settings;
  setDefaultSettings(settings);
  auto answer = [](const char* button, const char* editText) {
    QTimer::singleShot(0, [button, editText] {
      QWidget* modal = QApplication::activeModalWidget();
      ASSERT_NE(modal, nullptr);
      modal->findChild<QLineEdit*>("IDC_LINE_WIDTH")->setText(editText);
      QTest::mouseClick(modal->findChild<QPushButton*>(button), Qt::LeftButton);
    });
  };
  answer("IDCANCEL", "7");
  EXPECT_FALSE(showParametersDialog(nullptr, &chart, settings));
  EXPECT_EQ(chart.lineWidth, 1);
  answer("IDOK", "4");
  EXPECT_TRUE(showParametersDialog(nullptr, &chart, settings));
  EXPECT_EQ(chart.lineWidth, 4);
}

}  // namespace
}  // namespace nimbrel::test
