#include "ui/Session.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>
#include <cstdlib>
#include <filesystem>

#include "catalog/StationListLocation.h"
#include "catalog/StationListReader.h"
#include "observations/ApiJson.h"
#include "observations/CurlPageFetcher.h"
#include "reportstore/ReportStore.h"
#include "ui/QtText.h"
#include "ui/ReportStoreSettings.h"
#include "ui/ThreadedPageFetcher.h"
#include "ui/UserSettings.h"
#include "ui/WeatherFeed.h"

namespace nimbrel {
namespace {

// A station's answer arrives in a second; one still trickling after this
// is given up.
constexpr long kApiTotalTimeoutMs = 30000;

// The kinds of download, each in a lane of its own: a stalled server or a
// slow kind never holds up another's workers.
enum class Lane { kReportPages, kMetar, kTaf, kWeather };

// The services' downloads on worker threads. The report pages' service is
// asked as a browser would; the METAR service wants to know who asks, is
// reached over TLS, and answers one station in a few KB, so its answers are
// capped and a trickling one given up soon. A fetcher given by a test
// serves every lane.
std::unique_ptr<AsyncPageFetcher> makeLane(const std::shared_ptr<PageFetcher>& given, Lane lane) {
  const int threads = lane == Lane::kWeather ? 1 : lane == Lane::kTaf ? 2 : 4;
  if (given) return std::make_unique<ThreadedPageFetcher>(given, threads);
  auto curl = std::make_shared<CurlPageFetcher>();
  if (lane != Lane::kReportPages) {
    const std::string version = QCoreApplication::applicationVersion().toStdString();
    curl->setUserAgent("Nimbrel/" + version + " (surface weather observations viewer)");
  }
  if (lane == Lane::kMetar || lane == Lane::kTaf) {
    curl->setMaxBodyBytes(kMaxApiAnswerBytes);
    curl->setTimeouts(CurlPageFetcher::kDefaultConnectTimeoutMs, kApiTotalTimeoutMs);
  }
  return std::make_unique<ThreadedPageFetcher>(curl, threads);
}

}  // namespace

Session::Session(std::unique_ptr<PageFetcher> fetcher)
    : given(std::move(fetcher)),
      pageFetcher(makeLane(given, Lane::kReportPages)),
      metarFetcher(makeLane(given, Lane::kMetar)),
      tafFetcher(makeLane(given, Lane::kTaf)),
      weatherFetcher(makeLane(given, Lane::kWeather)),
      pageSource(*pageFetcher),
      metarSource(*metarFetcher),
      tafSource(*tafFetcher) {
  readSourceSettings();
  m_settings.units = readStoredUnits();
  feed = new WeatherFeed(*weatherFetcher, this);
  // Reports kept between runs: the live source and the weather feed fill it.
  reportStore = openReportStore();
  // The file is opened off the user-interface thread while the windows come
  // up (a first use before that waits for it); what it had to say, a file
  // moved aside, is told on the user-interface thread.
  QThreadPool::globalInstance()->start(
      [store = reportStore, self = QPointer<Session>(this), app = QCoreApplication::instance()] {
        store->open();
        QMetaObject::invokeMethod(app, [store, self] {
          if (self == nullptr) return;
          if (const std::string note = store->takeNote(); !note.empty()) emit self->statusNote(note);
        }, Qt::QueuedConnection);
      });
  metarSource.setStore(reportStore);
  tafSource.setStore(reportStore);
  feed->setStore(reportStore);
  pointSourcesAtSettings();
}

Session::~Session() {
  // The feed's worker is stopped and waited for while the lanes and the
  // catalogue it may reach still stand.
  delete feed;
  feed = nullptr;
}

std::vector<std::string> Session::loadStationList() {
  // The working folder's list, else the user's own data folder's, else the
  // one installed with the program.
  std::error_code ignored;
  const std::vector<std::filesystem::path> places = stationListPlaces(
      std::filesystem::current_path(ignored), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"),
      installedDataDir(QCoreApplication::applicationFilePath().toStdString()));
  for (const std::filesystem::path& place : places) {
    if (!std::filesystem::exists(std::filesystem::symlink_status(place, ignored))) continue;
    std::string text;
    bool cut = false;
    if (!readStationListFile(place.string(), text, &cut))
      return {std::string("Can not open a file \"") + kStationListFileName + "\"."};
    auto read = std::make_shared<StationList>();
    parseStationList(text, *read);
    const std::size_t count = read->size();
    setCatalogue(std::move(read));
    if (cut) return {stationListCutMessage(place.string(), count)};
    return {};
  }
  return {stationListNotFoundMessage(places)};
}

QString Session::storeSummary() const {
  if (!reportStore || !reportStore->isOpen()) return tr("Report store: not in use");
  const StoreCounts counts = reportStore->counts();
  return tr("Report store: %L1 reports of %L2 stations").arg(counts.reports).arg(counts.stations);
}

std::string Session::takeStoreNote() { return reportStore ? reportStore->takeNote() : std::string(); }

void Session::setCatalogue(std::shared_ptr<const StationList> list) {
  stations = std::move(list);
  feed->setCatalogue(stations);
  emit catalogueChanged();
}

void Session::addOpenStation(const Station& station) {
  m_openStations.push_back(station);
  emit openStationsChanged();
}

void Session::removeOpenStation(const std::string& icao) {
  if (nimbrel::removeOpenStation(m_openStations, icao)) emit openStationsChanged();
}

void Session::addRecent(const std::string& stationName) {
  m_recentList.add(toQString(stationName));
  emit recentListChanged();
}

void Session::applySettings(const Settings& changed) {
  const Settings before = m_settings;
  m_settings = changed;
  if (m_settings.units != before.units) storeUnits(m_settings.units);
  if (m_settings.reportSource == before.reportSource && m_settings.metarUrl == before.metarUrl) return;
  if (m_settings.metarUrl != before.metarUrl) storedMetarUrl = m_settings.metarUrl;
  pointSourcesAtSettings();
  writeSourceSettings();
  emit sourceChanged();
}

void Session::setReportSource(ReportSource source) {
  m_settings.reportSource = source;
  pointSourcesAtSettings();
}

void Session::setMetarUrl(const std::string& url) {
  m_settings.metarUrl = url;
  pointSourcesAtSettings();
}

void Session::pointSourcesAtSettings() {
  metarSource.baseUrl = m_settings.metarUrl;
  tafSource.baseUrl = m_settings.metarUrl;
  feed->setBaseUrl(m_settings.metarUrl);
}

ObservationSource& Session::reportSource() {
  if (m_settings.reportSource == ReportSource::kReportPages) return pageSource;
  return metarSource;
}

TafSource* Session::forecastSource() {
  return m_settings.reportSource == ReportSource::kReportPages ? nullptr : &tafSource;
}

// The report source and the METAR service's address are kept beside the
// recent list; every other setting starts from its default.
void Session::readSourceSettings() {
  storedMetarUrl = m_settings.metarUrl;
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return;
  stored->beginGroup(QStringLiteral("Settings"));
  const QString source = stored->value(QStringLiteral("ReportSource")).toString();
  if (source == QLatin1String("pages")) m_settings.reportSource = ReportSource::kReportPages;
  if (source == QLatin1String("metar")) m_settings.reportSource = ReportSource::kLiveMetar;
  const QString url = stored->value(QStringLiteral("MetarUrl")).toString();
  if (!url.isEmpty()) m_settings.metarUrl = url.toStdString();
  storedMetarUrl = m_settings.metarUrl;
}

void Session::writeSourceSettings() {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (stored) {
    stored->beginGroup(QStringLiteral("Settings"));
    stored->setValue(QStringLiteral("ReportSource"), m_settings.reportSource == ReportSource::kReportPages
                                                         ? QStringLiteral("pages")
                                                         : QStringLiteral("metar"));
    stored->setValue(QStringLiteral("MetarUrl"), QString::fromStdString(storedMetarUrl));
    stored->endGroup();
    stored->sync();
  }
  if (!stored || stored->status() != QSettings::NoError) emit statusNote("Can not save the settings.");
}

}  // namespace nimbrel
