#include "ui/GoToField.h"

#include <QAbstractItemView>
#include <QCompleter>

#include "services/QtText.h"

namespace nimbrel {

void GoToModel::show(const StationList* list, std::vector<std::size_t> indices) {
  beginResetModel();
  stations = list;
  shown = std::move(indices);
  endResetModel();
}

int GoToModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown.size());
}

QVariant GoToModel::data(const QModelIndex& index, int role) const {
  if (stations == nullptr || !index.isValid() || index.row() >= rowCount()) return {};
  const Station& s = (*stations)[shown[static_cast<std::size_t>(index.row())]];
  if (role == Qt::DisplayRole) {
    const std::string codes = s.iata.empty() ? s.icao : s.icao + " / " + s.iata;
    return toQString(s.name.empty() ? codes : s.name + " (" + codes + ")");
  }
  if (role == Qt::EditRole) return toQString(s.icao.empty() ? s.name : s.icao);
  return {};
}

GoToField::GoToField(QWidget* parent) : QLineEdit(parent) {
  setObjectName(QStringLiteral("goToField"));
  setPlaceholderText(tr("Go to station"));
  setToolTip(tr("Go to a station: type its ICAO or IATA code or a part of its name"));
  setClearButtonEnabled(true);
  setMaximumWidth(200);
  model = new GoToModel(this);
  completer = new QCompleter(model, this);
  // The ranking orders the list; the completer shows it as it is.
  completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  completer->setCaseSensitivity(Qt::CaseInsensitive);
  completer->setMaxVisibleItems(static_cast<int>(kSuggestions));
  setCompleter(completer);
  connect(this, &QLineEdit::textEdited, this, &GoToField::suggest);
  connect(completer, qOverload<const QString&>(&QCompleter::activated), this, [this](const QString& text) {
    setText(text);
    choose();
  });
  connect(this, &QLineEdit::returnPressed, this, &GoToField::choose);
}

GoToField::~GoToField() = default;

void GoToField::setCatalogue(std::shared_ptr<const StationList> stations) {
  catalogue = std::move(stations);
  // Made here, with the list: on the first keystroke it would double its wait.
  index = catalogue ? std::make_unique<GoToIndex>(*catalogue) : nullptr;
  model->show(nullptr, {});
}

void GoToField::suggest(const QString& text) {
  if (!catalogue) return;
  if (!index) index = std::make_unique<GoToIndex>(*catalogue);
  model->show(catalogue.get(), index->matches(fromQString(text), kSuggestions));
  if (model->rowCount() > 0) completer->complete();
  else completer->popup()->hide();
}

std::optional<Station> GoToField::best() const {
  if (!catalogue) return std::nullopt;
  if (!index) index = std::make_unique<GoToIndex>(*catalogue);
  const std::vector<std::size_t> found = index->matches(fromQString(text()), 1);
  if (found.empty()) return std::nullopt;
  return (*catalogue)[found.front()];
}

void GoToField::choose() {
  if (const std::optional<Station> station = best()) {
    completer->popup()->hide();
    emit stationChosen(*station);
  }
}

}  // namespace nimbrel
