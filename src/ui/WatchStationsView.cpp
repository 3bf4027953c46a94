#include "ui/WatchStationsView.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "services/QtText.h"
#include "ui/GoToField.h"
#include "ui/PlainCellDelegate.h"
#include "ui/WatchTableModel.h"
#include "watch/WatchList.h"

namespace nimbrel {
namespace {

// Column widths that fit the usual texts at the default font.
constexpr int kWidths[kWatchColumnCount] = {44, 140, 60, 80, 170, 96, 64, 120, 44, 230, 220};

}  // namespace

WatchStationsView::WatchStationsView(std::shared_ptr<const StationList> stations, QWidget* parent)
    : QWidget(parent), catalogue(std::move(stations)) {
  setObjectName(QStringLiteral("watchStationsView"));
  field = new GoToField(this);
  field->setObjectName(QStringLiteral("watchCodeField"));
  field->setPlaceholderText(tr("ICAO code or name"));
  field->setToolTip(tr("Watch a station: type its ICAO code or a part of its name, then Enter"));
  field->setCatalogue(catalogue);
  auto* add = new QPushButton(tr("Watch"), this);
  add->setObjectName(QStringLiteral("watchAddButton"));
  add->setToolTip(tr("Watch the station in the field"));
  auto* minima = new QPushButton(tr("Personal Minima..."), this);
  minima->setObjectName(QStringLiteral("watchMinimaButton"));
  note = new QLabel(this);
  note->setObjectName(QStringLiteral("watchMessage"));
  note->setTextFormat(Qt::PlainText);
  note->setStyleSheet(QStringLiteral("color: #a00000"));

  rows = new WatchTableModel(this);
  grid = new QTableView(this);
  grid->setObjectName(QStringLiteral("watchTable"));
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
  grid->setModel(rows);
  grid->setItemDelegate(new PlainCellDelegate(grid, true));
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setWordWrap(false);
  // The list's own order until the user picks a column: no column is
  // sorted by when sorting is switched on.
  grid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  grid->setSortingEnabled(true);
  grid->horizontalHeader()->setHighlightSections(false);
  grid->horizontalHeader()->setStretchLastSection(true);
  for (int column = 0; column < kWatchColumnCount; ++column)
    grid->horizontalHeader()->resizeSection(column, kWidths[column]);

  emptyText = new QLabel(
      tr("No stations watched yet.\n\nType a station's ICAO code (for example EGLL) or a part of its name in the "
         "field above and press Enter, or choose \"Watch\" in the context menu of a station table or a chart, or "
         "on a station's card on the world map.\n\nPersonal Minima... sets the ceiling, visibility and wind below "
         "which a station's row is highlighted."),
      this);
  emptyText->setObjectName(QStringLiteral("watchEmptyText"));
  emptyText->setWordWrap(true);
  emptyText->setAlignment(Qt::AlignCenter);
  emptyText->setMargin(24);
  pages = new QStackedWidget(this);
  pages->addWidget(emptyText);
  pages->addWidget(grid);

  auto* bar = new QHBoxLayout;
  bar->addWidget(field);
  bar->addWidget(add);
  bar->addWidget(note, 1);
  bar->addWidget(minima);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(bar);
  layout->addWidget(pages, 1);

  connect(field, &GoToField::stationChosen, this, [this](const Station& station) {
    // A whole code typed is that station or none, never a near one.
    const std::string typed = watchedCode(fromQString(field->text().trimmed()));
    if (!typed.empty() && typed != station.icao) return;
    if (station.icao.empty()) {
      showMessage(tr("%1 has no ICAO code: it has no reports to watch.").arg(toQString(station.name)));
      field->clear();
      return;
    }
    showMessage({});
    field->clear();
    emit addRequested(station.icao);
  });
  // After the field's own handling: what it found nothing for is said here.
  connect(field, &QLineEdit::returnPressed, this, &WatchStationsView::addFromField);
  connect(add, &QPushButton::clicked, field, &QLineEdit::returnPressed);
  connect(field, &QLineEdit::textEdited, this, [this] { showMessage({}); });
  connect(minima, &QPushButton::clicked, this, &WatchStationsView::minimaRequested);
  connect(grid, &QAbstractItemView::activated, this, [this](const QModelIndex& index) { openRow(index.row()); });

  auto* remove = new QAction(tr("Stop Watching"), grid);
  remove->setShortcut(QKeySequence::Delete);
  remove->setShortcutContext(Qt::WidgetShortcut);
  connect(remove, &QAction::triggered, this, &WatchStationsView::removeSelected);
  grid->addAction(remove);
  setFocusProxy(field);
  setRows({});
}

WatchStationsView::~WatchStationsView() = default;

void WatchStationsView::setRows(std::vector<WatchRow> fresh) {
  rows->setRows(std::move(fresh));
  pages->setCurrentWidget(rows->rowCount() == 0 ? static_cast<QWidget*>(emptyText) : grid);
}

void WatchStationsView::setCatalogue(std::shared_ptr<const StationList> stations) {
  catalogue = std::move(stations);
  field->setCatalogue(catalogue);
}

const Station* WatchStationsView::findStation(const std::string& icao) const {
  if (!catalogue || icao.empty()) return nullptr;
  const auto found =
      std::find_if(catalogue->begin(), catalogue->end(), [&](const Station& s) { return s.icao == icao; });
  return found != catalogue->end() ? &*found : nullptr;
}

void WatchStationsView::addFromField() {
  const QString text = field->text().trimmed();
  // Empty: the field's station was taken, or nothing was typed.
  if (text.isEmpty()) return;
  const std::string code = watchedCode(fromQString(text));
  if (!code.empty() && findStation(code) != nullptr) {
    showMessage({});
    field->clear();
    emit addRequested(code);
  } else if (!code.empty()) {
    showMessage(tr("No station %1 in the station list.").arg(toQString(code)));
  } else if (!field->best()) {
    showMessage(tr("\"%1\" is neither an ICAO code (four letters or digits, the first a letter) nor a station's name.")
                    .arg(text));
  }
}

void WatchStationsView::showMessage(const QString& text) { note->setText(text); }

QString WatchStationsView::message() const { return note->text(); }

bool WatchStationsView::showsEmptyText() const { return pages->currentWidget() == emptyText; }

void WatchStationsView::removeSelected() {
  std::vector<std::string> codes;
  for (const QModelIndex& index : grid->selectionModel()->selectedRows())
    codes.push_back(rows->rowAt(index.row()).icao);
  if (codes.empty() && grid->currentIndex().isValid()) codes.push_back(rows->rowAt(grid->currentIndex().row()).icao);
  for (const std::string& code : codes) emit removeRequested(code);
}

void WatchStationsView::openRow(int row) {
  if (row < 0 || row >= rows->rowCount()) return;
  const WatchRow& shown = rows->rowAt(row);
  // A station the list lacks (a new list without it) still opens by its code.
  Station station;
  if (const Station* known = findStation(shown.icao))
    station = *known;
  else {
    station.icao = shown.icao;
    station.name = shown.name.empty() ? shown.icao : shown.name;
  }
  emit stationActivated(station);
}

void WatchStationsView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  const QModelIndex at = grid->indexAt(grid->viewport()->mapFrom(this, event->pos()));
  if (at.isValid() && !grid->selectionModel()->isRowSelected(at.row(), {})) grid->selectRow(at.row());
  const bool onRow = at.isValid() || grid->selectionModel()->hasSelection();
  QAction* open = menu.addAction(tr("Open Chart"), this,
                                 [this, at] { openRow(at.isValid() ? at.row() : grid->currentIndex().row()); });
  open->setEnabled(at.isValid());
  QAction* remove = menu.addAction(tr("Stop Watching"), this, &WatchStationsView::removeSelected);
  remove->setObjectName(QStringLiteral("stopWatchingAction"));
  remove->setShortcut(QKeySequence::Delete);
  remove->setEnabled(onRow);
  menu.addSeparator();
  menu.addAction(tr("Personal Minima..."), this, &WatchStationsView::minimaRequested);
  menu.exec(event->globalPos());
}

std::string WatchStationsView::statusText() const {
  const int count = rows->rowCount();
  int below = 0;
  for (int row = 0; row < count; ++row) below += rows->rowAt(row).belowMinima.empty() ? 0 : 1;
  std::string text = std::to_string(count) + (count == 1 ? " station watched" : " stations watched");
  if (below > 0) text += ", " + std::to_string(below) + " below minima";
  return text;
}

}  // namespace nimbrel
