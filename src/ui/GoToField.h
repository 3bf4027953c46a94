#pragma once
// The map toolbar's "Go to" field: suggestions over the whole catalogue as
// the user types (see GoToIndex), and Enter, or a suggestion picked, goes
// to the station.
#include <QAbstractListModel>
#include <QLineEdit>
#include <memory>
#include <optional>
#include <vector>

#include "catalog/GoToIndex.h"
#include "catalog/Station.h"

class QCompleter;

namespace nimbrel {

// The suggestions shown: "BENINA (HLLB)"; picking one puts its ICAO code
// (or name, without one) in the field, which the ranking puts first.
class GoToModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;
  void show(const StationList* stations, std::vector<std::size_t> indices);
  const std::vector<std::size_t>& indices() const { return shown; }
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const StationList* stations = nullptr;
  std::vector<std::size_t> shown;
};

class GoToField : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr std::size_t kSuggestions = 12;

  explicit GoToField(QWidget* parent = nullptr);
  ~GoToField() override;

  // The catalogue searched, indexed at once.
  void setCatalogue(std::shared_ptr<const StationList> stations);
  // The catalogue indices suggested for the text now, best first.
  const std::vector<std::size_t>& suggestions() const { return model->indices(); }
  // The station Enter goes to for the text now, if any.
  std::optional<Station> best() const;

 signals:
  void stationChosen(const nimbrel::Station& station);

 private:
  void suggest(const QString& text);
  void choose();

  std::shared_ptr<const StationList> catalogue;
  mutable std::unique_ptr<GoToIndex> index;
  GoToModel* model = nullptr;
  QCompleter* completer = nullptr;
};

}  // namespace nimbrel
