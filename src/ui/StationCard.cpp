#include "ui/StationCard.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "charts/StationCardText.h"
#include "observations/TafSource.h"
#include "services/QtText.h"
#include "ui/WatchToggle.h"

namespace nimbrel {
namespace {

constexpr int kGap = 8;
constexpr int kWidth = 260;

}  // namespace

StationCard::StationCard(QWidget* map) : QFrame(map) {
  setObjectName(QStringLiteral("stationCard"));
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::ToolTipBase);
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(2);
  title = new QLabel(this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  body = new QLabel(this);
  raw = new QLabel(this);
  raw->setWordWrap(true);
  raw->setTextInteractionFlags(Qt::TextSelectableByMouse);
  forecast = new QLabel(this);
  forecast->setWordWrap(true);
  for (QLabel* label : {title, body, raw, forecast}) {
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  watchButton = new QPushButton(tr("Watch"), this);
  watchButton->setObjectName(QStringLiteral("stationCardWatch"));
  watchButton->hide();
  buttons->addWidget(watchButton);
  chart = new QPushButton(tr("Chart"), this);
  chart->setObjectName(QStringLiteral("stationCardChart"));
  buttons->addWidget(chart);
  layout->addLayout(buttons);
  setFixedWidth(kWidth);
  connect(watchButton, &QPushButton::clicked, this, [this] {
    if (!hasStation || watch == nullptr || !watch->isWatched || !watch->setWatched) return;
    watch->setWatched(shown, !watch->isWatched(shown.icao));
    showWatched();
  });
  connect(chart, &QPushButton::clicked, this, [this] {
    if (hasStation) emit chartRequested(shown);
  });
  hide();
}

StationCard::~StationCard() = default;

void StationCard::setWatchToggle(const WatchToggle* toggle) {
  watch = toggle;
  showWatched();
}

void StationCard::showWatched() {
  const bool offered = watch != nullptr && watch->isWatched && hasStation && !shown.icao.empty();
  watchButton->setVisible(offered);
  if (offered) watchButton->setText(watch->isWatched(shown.icao) ? tr("Stop Watching") : tr("Watch"));
}

void StationCard::showStation(const Station& station, const StationCardText& text, TafSource* forecasts,
                              bool timeUtc) {
  const bool same = hasStation && station.icao == shown.icao && station.name == shown.name;
  shown = station;
  hasStation = true;
  title->setText(toQString(text.title + "  " + text.codes));
  std::string lines = text.category;
  if (!text.age.empty()) lines += "\n" + text.age;
  for (const std::string& value : text.values) lines += "\n" + value;
  body->setText(toQString(lines));
  raw->setText(toQString(text.rawReport));
  raw->setVisible(!text.rawReport.empty());
  showWatched();
  if (!same) askForecast(forecasts, timeUtc);
  adjustSize();
}

void StationCard::askForecast(TafSource* forecasts, bool timeUtc) {
  forecastTicket.reset();
  if (forecasts == nullptr || shown.icao.empty()) {
    forecast->setText(tr("No forecast with this report source"));
    return;
  }
  forecast->setText(tr("Forecast: loading ..."));
  forecastTicket = forecasts->request(shown, [this, forecasts, timeUtc](TafReading reading) {
    forecastTicket.reset();
    std::string text;
    if (!reading.ok)
      text = fromQString(tr("Forecast: %1").arg(reading.note.empty() ? tr("not available") : toQString(reading.note)));
    else if (!reading.forecast) text = fromQString(tr("No TAF for this station"));
    else text = nextChangeText(reading.forecast->report, forecasts->now() / 60, timeUtc);
    forecast->setText(toQString(text));
    adjustSize();
  });
}

void StationCard::placeBeside(QPoint anchor) {
  const QWidget* map = parentWidget();
  if (map == nullptr) return;
  adjustSize();
  // Right of the station where there is room, else left of it.
  int x = anchor.x() + kGap;
  if (x + width() > map->width()) x = anchor.x() - kGap - width();
  int y = anchor.y() - height() / 2;
  x = std::clamp(x, 0, std::max(0, map->width() - width()));
  y = std::clamp(y, 0, std::max(0, map->height() - height()));
  move(x, y);
  // Shown only once in place: shown first, the map would redraw where it was.
  if (isHidden()) {
    show();
    raise();
  }
}

std::string StationCard::plainText() const {
  std::string text;
  for (const QLabel* label : {title, body, raw, forecast})
    if (!label->isHidden() && !label->text().isEmpty())
      text.append(text.empty() ? "" : "\n").append(fromQString(label->text()));
  return text;
}

void StationCard::dismiss() {
  if (isHidden()) return;
  // A closed card asks for nothing more; the next one asks afresh.
  forecastTicket.reset();
  hasStation = false;
  hide();
  emit closed();
}

void StationCard::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    dismiss();
    return;
  }
  QFrame::keyPressEvent(event);
}

}  // namespace nimbrel
