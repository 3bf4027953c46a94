#include "services/StationChartObject.h"

namespace nimbrel {

StationChartObject::StationChartObject(const Station& station, const Settings& settings, ObservationSource& source,
                                       UserPort& port, TafSource* forecastSource, QObject* parent)
    : QObject(parent), chartModel(station, settings, source, port, this, forecastSource) {
  chartModel.onChartChanged = [this] { emit changed(); };
  chartModel.onStateChanged = [this] { emit stateChanged(); };
}

StationChartObject::~StationChartObject() {
  // The model's hooks must not reach a half-destroyed object.
  chartModel.onChartChanged = nullptr;
  chartModel.onStateChanged = nullptr;
  chartModel.cancel();
}

void StationChartObject::load() {
  chartModel.load([this](LoadOutcome outcome) { emit loaded(outcome); });
}

void StationChartObject::followSettings() {
  if (chartModel.followSettings()) return;
  // Drawn the same: the options (series shown, scale) may still have moved.
  emit changed();
}

void StationChartObject::setDescription(std::function<std::string(const PageReading&)> describe) {
  chartModel.describe = std::move(describe);
}

}  // namespace nimbrel
