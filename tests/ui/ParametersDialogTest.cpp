// The Parameters dialog: shown from the chart and the settings, stored on
// OK only, its controls in the order and with the texts of the form.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include "MainWindowFixture.h"
#include "ui/ParametersDialog.h"
#include "ui/QtPainter.h"
#include "services/Session.h"
#include "services/UserSettings.h"

namespace nimbrel::test {
namespace {

template <typename T>
T* Control(QWidget& dialog, const char* name) {
  T* control = dialog.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << name;
  return control;
}

QString Text(QWidget& dialog, const char* name) { return Control<QLineEdit>(dialog, name)->text(); }

void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2)); }

TEST(ParametersDialog, OpensWithTheChartAndTheSettings) {
  Chart chart;
  chart.showMarks = true;
  chart.showLegend = false;
  chart.lineWidth = 3;
  chart.verticalNet = false;
  chart.xMin = 1.5;
  chart.yDelta = 3.14159;
  Settings settings;
  settings.timeUtc = true;
  settings.showPressure = false;
  settings.pastHours = 12;
  settings.forecastHours = 20;
  ParametersDialog d(&chart, &settings);
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Parameters"));
  EXPECT_TRUE(Control<QCheckBox>(d, "showMarks")->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(d, "showLegend")->isChecked());
  EXPECT_EQ(Text(d, "lineWidthEdit"), "3");
  EXPECT_FALSE(Control<QCheckBox>(d, "xShowNet")->isChecked());
  EXPECT_EQ(Text(d, "xMinEdit"), "1.50");
  EXPECT_EQ(Text(d, "xDeltaEdit"), "10.00");
  EXPECT_TRUE(Control<QCheckBox>(d, "yShowNet")->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(d, "yAutoscale")->isChecked());
  EXPECT_EQ(Text(d, "yMinEdit"), "-20.00");
  EXPECT_EQ(Text(d, "yDeltaEdit"), "3.14");
  EXPECT_TRUE(Control<QLineEdit>(d, "yMinEdit")->isEnabled());  // autoscale off: editable
  EXPECT_TRUE(Control<QCheckBox>(d, "temperature")->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(d, "pressure")->isChecked());
  EXPECT_TRUE(Control<QCheckBox>(d, "windSpeed")->isChecked());
  EXPECT_TRUE(Control<QCheckBox>(d, "windDirection")->isChecked());
  EXPECT_TRUE(Control<QCheckBox>(d, "timeUtc")->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(d, "writeMeteodata")->isChecked());
  EXPECT_TRUE(Control<QCheckBox>(d, "metricStyle")->isChecked());
  EXPECT_EQ(Text(d, "showNearestEdit"), "90.00");
  EXPECT_EQ(Control<QComboBox>(d, "pastHoursList")->currentText(), "12");
  EXPECT_EQ(Control<QSpinBox>(d, "forecastHoursBox")->value(), 20);
}

TEST(ParametersDialog, OkWithoutChangesKeepsEverythingButRounding) {
  Chart chart;
  chart.yDelta = 3.14159;
  chart.yMin = -7.126;
  chart.autoscale = true;
  chart.horizontalNet = false;
  Settings settings;
  settings.pastHours = 7;  // not in the list
  settings.showWindSpeed = false;
  const Chart before = chart;
  ParametersDialog d(&chart, &settings);
  EXPECT_FALSE(Control<QLineEdit>(d, "yMinEdit")->isEnabled());
  EXPECT_EQ(Control<QComboBox>(d, "pastHoursList")->currentIndex(), -1);
  QTest::mouseClick(d.okButton, Qt::LeftButton);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(chart.yDelta, 3.14);
  EXPECT_EQ(chart.yMin, -7.13);
  EXPECT_TRUE(chart.autoscale);
  EXPECT_FALSE(chart.horizontalNet);
  EXPECT_EQ(chart.lineWidth, before.lineWidth);
  EXPECT_EQ(chart.xMin, before.xMin);
  EXPECT_EQ(chart.xDelta, before.xDelta);
  EXPECT_EQ(chart.showMarks, before.showMarks);
  EXPECT_EQ(chart.showLegend, before.showLegend);
  EXPECT_EQ(chart.verticalNet, before.verticalNet);
  EXPECT_EQ(settings.pastHours, 0) << "no hours chosen";
  EXPECT_FALSE(settings.showWindSpeed);
  EXPECT_TRUE(settings.showTemperature);
  EXPECT_EQ(settings.nearestMinutes, 90.0);

  for (int hours : {1, 12, 60, 720}) {
    Settings listed;
    listed.pastHours = hours;
    ParametersDialog g(nullptr, &listed);
    EXPECT_EQ(Control<QComboBox>(g, "pastHoursList")->currentText(), QString::number(hours));
    listed.pastHours = -1;
    g.onOK();
    EXPECT_EQ(listed.pastHours, hours);
  }
}

TEST(ParametersDialog, OkStoresEditedFieldsByAtofAndAtoi) {
  Chart chart;
  Settings settings;
  ParametersDialog d(&chart, &settings);
  Control<QLineEdit>(d, "lineWidthEdit")->setText("2 px");
  Control<QLineEdit>(d, "yMinEdit")->setText("  -5.5abc");
  Control<QLineEdit>(d, "yDeltaEdit")->setText("zero");
  Control<QLineEdit>(d, "showNearestEdit")->setText("far");
  Click(Control<QCheckBox>(d, "showMarks"));
  Control<QCheckBox>(d, "metricStyle")->setChecked(false);
  Control<QCheckBox>(d, "writeMeteodata")->setChecked(true);
  ASSERT_TRUE(Control<QCheckBox>(d, "aviationPanel")->isChecked()) << "shown by default";
  Control<QCheckBox>(d, "aviationPanel")->setChecked(false);
  Control<QComboBox>(d, "pastHoursList")->setCurrentIndex(14);
  Control<QSpinBox>(d, "forecastHoursBox")->setValue(31);  // beyond the 30 hours it takes
  d.onOK();
  EXPECT_EQ(chart.lineWidth, 2);
  EXPECT_EQ(chart.yMin, -5.5);
  EXPECT_EQ(chart.yDelta, 0.0);  // the chart guards the zero step when it draws
  EXPECT_TRUE(chart.showMarks);
  EXPECT_EQ(settings.nearestMinutes, 0.0);
  EXPECT_FALSE(settings.metricStyle);
  EXPECT_TRUE(settings.writeMeteodata);
  EXPECT_FALSE(settings.showAviationPanel);
  EXPECT_EQ(settings.pastHours, 60);
  EXPECT_EQ(settings.forecastHours, 30);
}

TEST(ParametersDialog, CancelStoresNothing) {
  Chart chart;
  Settings settings;
  ParametersDialog d(&chart, &settings);
  Control<QLineEdit>(d, "yDeltaEdit")->setText("42");
  Control<QLineEdit>(d, "lineWidthEdit")->setText("9");
  Control<QCheckBox>(d, "temperature")->setChecked(false);
  Control<QComboBox>(d, "pastHoursList")->setCurrentIndex(0);
  QTest::mouseClick(d.cancelButton, Qt::LeftButton);
  EXPECT_EQ(d.result(), QDialog::Rejected);
  EXPECT_EQ(chart.yDelta, 5.0);
  EXPECT_EQ(chart.lineWidth, 1);
  EXPECT_EQ(settings, Settings{});
}

class SizedOwner : public ChartOwner {
 public:
  Rect clientRect() const override { return Rect{0, 0, 800, 520}; }
};

TEST(ParametersDialog, ClearingAutoscaleShowsTheLastComputedRange) {
  SizedOwner owner;
  Chart chart(&owner);
  chart.addSeries(0, std::string("Time"), std::nullopt, std::nullopt);
  chart.addSeries(4, std::string("S1"), Pen{rgb(10, 0, 0), 1}, std::nullopt);
  chart.seriesCount = 2;
  chart.addRow("a", {-3.2});
  chart.addRow("b", {24.6});
  chart.autoscale = true;
  {
    QImage image(800, 520, QImage::Format_RGB32);
    QPainter painter(&image);
    QtPainter onImage(painter);
    chart.draw(onImage);
  }
  Settings settings;
  ParametersDialog dialog(&chart, &settings);
  auto* autoscale = Control<QCheckBox>(dialog, "yAutoscale");
  auto* yMin = Control<QLineEdit>(dialog, "yMinEdit");
  auto* yDelta = Control<QLineEdit>(dialog, "yDeltaEdit");
  EXPECT_FALSE(yMin->isEnabled());
  EXPECT_FALSE(yDelta->isEnabled());
  dialog.show();
  Click(autoscale);
  EXPECT_FALSE(autoscale->isChecked());
  EXPECT_TRUE(yMin->isEnabled());
  EXPECT_EQ(yMin->text(), "-3.20");
  EXPECT_EQ(yDelta->text(), "4.00");
  Click(autoscale);
  EXPECT_FALSE(yMin->isEnabled());
  dialog.reject();
}

TEST(ParametersDialog, WithoutAChartOnlyTheSettingsAreStored) {
  Settings settings;
  ParametersDialog dialog(nullptr, &settings);
  EXPECT_TRUE(Text(dialog, "yMinEdit").isEmpty());
  EXPECT_FALSE(Control<QLineEdit>(dialog, "yMinEdit")->isEnabled());
  dialog.show();
  Click(Control<QCheckBox>(dialog, "yAutoscale"));
  EXPECT_FALSE(Control<QLineEdit>(dialog, "yMinEdit")->isEnabled()) << "nothing to show without a chart";
  Control<QCheckBox>(dialog, "timeUtc")->setChecked(true);
  dialog.onOK();
  EXPECT_TRUE(settings.timeUtc);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(ParametersDialog, TextsOfTheFormAndHiddenXRange) {
  Chart chart;
  Settings settings;
  ParametersDialog dialog(&chart, &settings);
  QStringList labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>())
    if (!label->isHidden()) labels << label->text();
  for (const char* text : {"Y min:", "Y delta:", "Line width:", "Show past", "hours", "Show nearest:", "minures"})
    EXPECT_TRUE(labels.contains(QString::fromLatin1(text))) << text;
  EXPECT_FALSE(labels.contains("X min:"));
  EXPECT_FALSE(labels.contains("X delta:"));
  EXPECT_TRUE(Control<QCheckBox>(dialog, "xAutoscale")->isHidden());
  EXPECT_TRUE(Control<QLineEdit>(dialog, "xMinEdit")->isHidden());
  EXPECT_TRUE(Control<QLineEdit>(dialog, "xDeltaEdit")->isHidden());
  EXPECT_FALSE(Control<QCheckBox>(dialog, "xShowNet")->isHidden());

  QStringList groups;
  // Shown groups, as with the labels: the report store's shows with a store only.
  for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
    if (!group->isHidden()) groups << group->title();
  groups.sort();
  EXPECT_EQ(groups, (QStringList{"Graph", "Meteo", "Units", "X Axe", "Y Axe"}));
  const std::pair<const char*, const char*> boxes[] = {
      {"yAutoscale", "Autoscale"},   {"yShowNet", "Show net"},
      {"xShowNet", "Show net"},     {"showMarks", "Show marks"},
      {"showLegend", "Show legend"}, {"temperature", "Temperature"},
      {"pressure", "Pressure"},       {"windSpeed", "Wind speed"},
      {"windDirection", "Wind direction"}, {"writeMeteodata", "Write meteodata to file"},
      {"timeUtc", "Time UTC"},       {"metricStyle", "Metric style"},
      {"aviationPanel", "Aviation panel"}};
  for (const auto& [id, text] : boxes) EXPECT_EQ(Control<QCheckBox>(dialog, id)->text(), QString::fromLatin1(text)) << id;
  EXPECT_EQ(dialog.okButton->text(), QStringLiteral("OK"));
  EXPECT_EQ(dialog.cancelButton->text(), QStringLiteral("Cancel"));
  EXPECT_TRUE(dialog.okButton->isDefault());

  auto* hours = Control<QComboBox>(dialog, "pastHoursList");
  QStringList items;
  for (int i = 0; i < hours->count(); ++i) items << hours->itemText(i);
  EXPECT_EQ(items.join(','), "1,2,3,4,5,6,12,18,24,30,36,42,48,54,60,120,240,360,720");
}

TEST(ParametersDialog, TabOrderFollowsTheForm) {
  Chart chart;
  Settings settings;
  ParametersDialog dialog(&chart, &settings);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  // The buttons first, then the visible controls from top left to bottom right.
  const std::vector<QWidget*> expected = {
      dialog.okButton,      dialog.cancelButton,  dialog.yAutoscale,    dialog.yShowNet,       dialog.yMinEdit,
      dialog.yDeltaEdit,    dialog.xShowNet,      dialog.showMarks,     dialog.showLegend,     dialog.lineWidthEdit,
      dialog.temperature,   dialog.pressure,      dialog.windSpeed,     dialog.windDirection,  dialog.writeMeteodata,
      dialog.timeUtc,       dialog.metricStyle,   dialog.aviationPanel, dialog.showNearestEdit, dialog.forecastHoursBox,
      dialog.pastHoursList, dialog.reportSource, dialog.temperatureUnit, dialog.pressureUnit, dialog.speedUnit,
      dialog.visibilityUnit, dialog.heightUnit, dialog.aviationUnits, dialog.metricUnits, dialog.usUnits};
  // Tab from OK visits the enabled ones in that order and comes back round.
  dialog.yMinEdit->setEnabled(true);
  dialog.yDeltaEdit->setEnabled(true);
  dialog.okButton->setFocus();
  ASSERT_TRUE(dialog.okButton->hasFocus());
  std::vector<QWidget*> visited = {QApplication::focusWidget()};
  for (std::size_t i = 1; i < expected.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited.push_back(QApplication::focusWidget());
  }
  EXPECT_EQ(visited, expected);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), dialog.okButton);
  dialog.reject();
}

TEST(ParametersDialog, SizeIsAboutThatOfTheForm) {
  Chart chart;
  Settings settings;
  ParametersDialog dialog(&chart, &settings);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  // The form is 369 x 214 dialog units, some 550-650 by 350-420 pixels with
  // the usual fonts, and the Units group's two rows below it. A lost group
  // or a stretched row leaves that range.
  const QSize size = dialog.size();
  EXPECT_GE(size.width(), 500) << size.width();
  EXPECT_LE(size.width(), 700) << size.width();
  EXPECT_GE(size.height(), 300) << size.height();
  EXPECT_LE(size.height(), 560) << size.height();
  // The Y, X and Graph groups side by side above the Meteo group, the buttons below.
  auto* yGroup = qobject_cast<QGroupBox*>(dialog.yAutoscale->parentWidget());
  auto* meteo = qobject_cast<QGroupBox*>(dialog.temperature->parentWidget());
  auto* graph = qobject_cast<QGroupBox*>(dialog.showMarks->parentWidget());
  ASSERT_NE(yGroup, nullptr);
  ASSERT_NE(meteo, nullptr);
  ASSERT_NE(graph, nullptr);
  EXPECT_EQ(yGroup->y(), graph->y());
  EXPECT_LT(yGroup->x(), graph->x());
  EXPECT_GT(meteo->y(), yGroup->geometry().bottom());
  EXPECT_GT(dialog.okButton->y(), meteo->geometry().bottom());
  EXPECT_LT(dialog.okButton->x(), dialog.cancelButton->x());
  dialog.reject();
}

// The Units group: shown from the settings, set by the presets, stored on
// OK; the units then outlive the run through the settings file.
TEST(ParametersDialog, UnitsFromPresetsAreKeptInTheSettingsFile) {
  const DisplayUnits mixed{TemperatureUnit::kFahrenheit, PressureUnit::kHectopascal, SpeedUnit::kKnot,
                           VisibilityUnit::kMetric, HeightUnit::kMetre};
  const struct {
    QPushButton* ParametersDialog::*preset;
    DisplayUnits expected;
  } cases[] = {
      {nullptr, mixed},
      {&ParametersDialog::metricUnits, unitPreset(UnitPreset::kMetric)},
      {&ParametersDialog::usUnits, unitPreset(UnitPreset::kUs)},
  };
  for (const auto& c : cases) {
    Settings settings;
    settings.units = mixed;
    ParametersDialog dialog(nullptr, &settings);
    EXPECT_EQ(dialog.speedUnit->currentText(), QStringLiteral("kt"));
    if (c.preset != nullptr) (dialog.*c.preset)->click();
    dialog.onOK();
    EXPECT_EQ(unitsSettingText(settings.units), unitsSettingText(c.expected));

    storeUnits(settings.units);
    EXPECT_EQ(readStoredUnits(), c.expected);
    Session again;
    EXPECT_EQ(again.settings().units, c.expected);
  }
  storeUnits(DisplayUnits{});
}

TEST(ParametersDialog, ShowParametersDialogRunsModallyAndReportsOk) {
  Chart chart;
  Settings settings;
  auto answer = [](const char* button, const char* lineWidth) {
    return [button, lineWidth](ParametersDialog* dialog) {
      dialog->lineWidthEdit->setText(QString::fromLatin1(lineWidth));
      QTest::mouseClick(dialog->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    };
  };
  {
    ModalWatch<ParametersDialog> cancel(answer("cancelButton", "7"));
    EXPECT_FALSE(showParametersDialog(nullptr, &chart, settings));
    EXPECT_TRUE(cancel.seen());
  }
  EXPECT_EQ(chart.lineWidth, 1);
  ModalWatch<ParametersDialog> ok(answer("okButton", "4"));
  EXPECT_TRUE(showParametersDialog(nullptr, &chart, settings));
  EXPECT_TRUE(ok.seen());
  EXPECT_EQ(chart.lineWidth, 4);
}

}  // namespace
}  // namespace nimbrel::test
