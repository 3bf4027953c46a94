#include "ui/MinimaDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <set>

#include "services/QtText.h"
#include "watch/WatchList.h"

namespace nimbrel {
namespace {

constexpr double kMetresPerMile = 1609.344;

struct Limit {
  const char* name;
  int lowest, highest;
};
// Indexed by column; the station column has none.
constexpr Limit kLimits[MinimaDialog::kColumnCount] = {
    {"", 0, 0},       {"ceiling", 0, 60000}, {"visibility", 0, 99999}, {"wind", 0, 200},
    {"gust", 0, 250}, {"runway", 1, 360},    {"crosswind", 0, 200},
};

std::optional<int>& field(Minima& minima, int column) {
  switch (column) {
    case MinimaDialog::kCeiling: return minima.ceilingFt;
    case MinimaDialog::kVisibility: return minima.visibilityM;
    case MinimaDialog::kWind: return minima.windKt;
    case MinimaDialog::kGust: return minima.gustKt;
    case MinimaDialog::kRunway: return minima.runwayDeg;
    default: break;
  }
  return minima.crosswindKt;
}

QString visibilityCell(int metres, VisibilityUnit unit) {
  if (unit == VisibilityUnit::kMetric) return QString::number(metres);
  // Two decimals at most: 1/4 SM steps read back to the same metre.
  return QString::number(std::round(metres / kMetresPerMile * 100) / 100, 'f', 2).remove(QRegularExpression("\\.?0+$"));
}

}  // namespace

MinimaDialog::MinimaDialog(const MinimaSet& minima, VisibilityUnit visibility, QWidget* parent)
    : QDialog(parent), unit(visibility) {
  setObjectName(QStringLiteral("minimaDialog"));
  setWindowTitle(tr("Personal Minima"));
  auto* intro = new QLabel(
      tr("A watched station's row is highlighted when its report is below one of these limits. Leave a cell empty "
         "for no limit; a station's empty cell takes the limit of \"All stations\". A crosswind limit needs the "
         "runway's heading."),
      this);
  intro->setWordWrap(true);
  grid = new QTableWidget(0, kColumnCount, this);
  grid->setObjectName(QStringLiteral("minimaTable"));
  grid->setHorizontalHeaderLabels({tr("Station"), tr("Ceiling ft"),
                                   unit == VisibilityUnit::kStatuteMile ? tr("Visibility SM") : tr("Visibility m"),
                                   tr("Wind kt"), tr("Gust kt"), tr("Runway \u00B0"), tr("Crosswind kt")});
  grid->verticalHeader()->hide();
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  grid->horizontalHeader()->setMinimumSectionSize(80);
  addRow(tr("All stations"), minima.global, true);
  for (const auto& [icao, limits] : minima.stations) addRow(toQString(icao), limits, false);

  auto* add = new QPushButton(tr("Add Station"), this);
  add->setObjectName(QStringLiteral("minimaAddButton"));
  auto* remove = new QPushButton(tr("Remove Station"), this);
  remove->setObjectName(QStringLiteral("minimaRemoveButton"));
  connect(add, &QPushButton::clicked, this, [this] { addStationRow(); });
  connect(remove, &QPushButton::clicked, this, &MinimaDialog::removeSelectedRows);
  note = new QLabel(this);
  note->setObjectName(QStringLiteral("minimaMessage"));
  note->setTextFormat(Qt::PlainText);
  note->setStyleSheet(QStringLiteral("color: #a00000"));
  note->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &MinimaDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &MinimaDialog::reject);

  auto* rowButtons = new QHBoxLayout;
  rowButtons->addWidget(add);
  rowButtons->addWidget(remove);
  rowButtons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addWidget(grid, 1);
  layout->addLayout(rowButtons);
  layout->addWidget(note);
  layout->addWidget(buttons);
  resize(720, 320);
}

void MinimaDialog::addRow(const QString& station, const Minima& limits, bool global) {
  const int row = grid->rowCount();
  grid->insertRow(row);
  auto* name = new QTableWidgetItem(station);
  if (global) name->setFlags(name->flags() & ~Qt::ItemIsEditable);
  grid->setItem(row, kStation, name);
  Minima copy = limits;
  for (int column = kCeiling; column < kColumnCount; ++column) {
    const std::optional<int>& value = field(copy, column);
    QString text;
    if (value) text = column == kVisibility ? visibilityCell(*value, unit) : QString::number(*value);
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    grid->setItem(row, column, item);
  }
}

void MinimaDialog::addStationRow(const QString& icao) {
  addRow(icao, {}, false);
  const int row = grid->rowCount() - 1;
  grid->setCurrentCell(row, kStation);
  if (icao.isEmpty()) grid->editItem(grid->item(row, kStation));
}

void MinimaDialog::removeSelectedRows() {
  // The global row stays; overrides go from the bottom up so rows keep their numbers.
  std::set<int, std::greater<>> chosen;
  for (const QModelIndex& index : grid->selectionModel()->selectedRows()) chosen.insert(index.row());
  for (const int row : chosen)
    if (row > 0) grid->removeRow(row);
}

std::optional<MinimaSet> MinimaDialog::entered() {
  MinimaSet set;
  std::set<std::string> seen;
  const auto refuse = [this](int row, const QString& why) {
    note->setText(why);
    grid->setCurrentCell(row, kStation);
    return std::nullopt;
  };
  for (int row = 0; row < grid->rowCount(); ++row) {
    const QString rowName = row == 0 ? tr("All stations") : grid->item(row, kStation)->text().trimmed();
    Minima limits;
    std::string icao;
    if (row > 0) {
      icao = watchedCode(fromQString(rowName));
      if (icao.empty())
        return refuse(row, tr("\"%1\" is not an ICAO code: four letters or digits, the first a letter.").arg(rowName));
      if (!seen.insert(icao).second) return refuse(row, tr("%1 is listed twice.").arg(toQString(icao)));
    }
    for (int column = kCeiling; column < kColumnCount; ++column) {
      const QString text = grid->item(row, column)->text().trimmed();
      if (text.isEmpty()) continue;
      const QString header = grid->horizontalHeaderItem(column)->text();
      bool number = false;
      double value = QLocale().toDouble(text, &number);
      if (!number) value = text.toDouble(&number);
      if (column == kVisibility && unit == VisibilityUnit::kStatuteMile)
        value *= kMetresPerMile;
      else if (number && value != std::floor(value))
        number = false;
      const Limit& limit = kLimits[column];
      if (!number || value < limit.lowest || value > limit.highest + 0.5)
        return refuse(
            row,
            tr("%1, %2: \"%3\" is not a number from %4 to %5.")
                .arg(rowName, header, text)
                .arg(column == kVisibility ? visibilityCell(limit.lowest, unit) : QString::number(limit.lowest))
                .arg(column == kVisibility ? visibilityCell(limit.highest, unit) : QString::number(limit.highest)));
      field(limits, column) = static_cast<int>(std::lround(value));
    }
    if (limits.crosswindKt && !limits.runwayDeg && !(row > 0 && set.global.runwayDeg))
      return refuse(row, tr("%1: a crosswind limit needs the runway's heading.").arg(rowName));
    if (row == 0)
      set.global = limits;
    else
      set.stations.emplace_back(icao, limits);
  }
  note->clear();
  return set;
}

QString MinimaDialog::problem() const { return note->text(); }

void MinimaDialog::accept() {
  if (entered()) QDialog::accept();
}

bool editMinima(QWidget* parent, MinimaSet& minima, VisibilityUnit visibility) {
  MinimaDialog dialog(minima, visibility, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  minima = *dialog.entered();
  return true;
}

}  // namespace nimbrel
