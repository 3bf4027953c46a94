#include "observations/MetarSource.h"


#include <algorithm>

#include "base/Text.h"
#include "metar/MetarDecoder.h"
#include "metar/TafDecoder.h"
#include "observations/ApiJson.h"
#include "observations/MetarObservation.h"
#include "observations/ReportPageSource.h"

namespace nimbrel {
namespace {

// The size of a read: a day of reports of one station is a few tens of KB.
constexpr int kReadBufferSize = 64 * 1024;

}  // namespace

MetarSource::MetarSource(AsyncPageFetcher& fetcher, Clock clock)
    : fetcher(fetcher), clock(clock ? std::move(clock) : Clock(epochSecondsNow)) {}

std::string MetarSource::url(const std::string& icao, int hours) const {
  std::string text = baseUrl;
  while (!text.empty() && text.back() == '/') text.pop_back();
  text += "/api/data/metar?ids=" + percentEncoded(icao) + "&format=json";
  if (hours > 0) text += "&hours=" + std::to_string(hours);
  return text;
}

std::unique_ptr<FetchTicket> MetarSource::requestPastHours(const Station& station, int hours, Done done) {
  return request(station, hours < 1 ? 1 : hours, std::move(done));
}

std::unique_ptr<FetchTicket> MetarSource::requestNewest(const Station& station, bool, Done done) {
  return request(station, 0, std::move(done));
}

std::unique_ptr<FetchTicket> MetarSource::refuse(ReadOutcome why, Done done) {
  PageReading reading;
  reading.outcome = why;
  return fetcher.deliverLater(std::move(reading), std::move(done));
}

void MetarSource::forgetOldAnswers(std::int64_t now) {
  std::erase_if(answers, [now](const auto& entry) { return now - entry.second.at >= kStationLimitSeconds; });
}

std::unique_ptr<FetchTicket> MetarSource::request(const Station& station, int hours, Done done,
                                                  std::optional<std::int64_t> completeFrom) {
  const std::int64_t now = clock();
  forgetOldAnswers(now);
  // The service lets an answer be reused for a minute: a station asked
  // again within it is answered from the last answer when that covers as
  // many hours (another chart of the station, a refresh soon after).
  const auto last = answers.find(station.icao);
  if (last != answers.end() && hours <= last->second.hours)
    return fetcher.deliverLater(last->second.reading, std::move(done));
  if (now < pausedUntil)
    return refuse(ReadOutcome::kRateLimited, std::move(done));
  while (!sentTimes.empty() && now - sentTimes.front() >= 60) sentTimes.pop_front();
  if (static_cast<int>(sentTimes.size()) >= kRequestsPerMinute)
    return refuse(ReadOutcome::kRequestLimit, std::move(done));
  sentTimes.push_back(now);

  struct Read {
    PageReading reading;
    bool tooManyRequests = false;
  };
  return fetcher.fetchRead(
      url(station.icao, hours), kReadBufferSize,
      [station, now, kept = store, completeFrom](FetchResult fetched) {
        std::vector<StoredMetar> reports;
        Read read{readAnswer(fetched, now, &reports),
                  fetched.status == FetchStatus::kHttpError && fetched.httpStatus == 429};
        // Kept here, on the worker, in one transaction; a store that fails
        // costs the chart nothing.
        if (kept && read.reading.ok()) {
          if (kept->putMetars(reports) && completeFrom) kept->setAskedSince(station.icao, *completeFrom);
          kept->maintainIfDue();
          read.reading.storeNote = kept->takeNote();
        }
        return read;
      },
      [this, station, hours, done = std::move(done)](Read read) {
        const std::int64_t at = clock();
        if (read.tooManyRequests) {
          pausedUntil = at + kBackOffSeconds;
        } else if (read.reading.ok()) {
          forgetOldAnswers(at);
          answers[station.icao] = Answer{at, hours, read.reading};
        }
        done(std::move(read.reading));
      });
}

PageReading MetarSource::readStored(const Station&, const std::vector<StoredMetar>& reports) {
  PageReading reading;
  for (auto it = reports.rbegin(); it != reports.rend(); ++it) {
    const MetarReport report = decodeMetar(it->raw, UtcDateTime::fromEpochMinutes(it->observedAt / 60));
    if (report.status == MetarStatus::Rejected || report.nil) continue;
    reading.observations.push_back(toObservation(report, it->raw));
  }
  if (!reading.observations.empty()) reading.outcome = ReadOutcome::kLoaded;
  return reading;
}

std::unique_ptr<FetchTicket> MetarSource::requestStored(const Station& station, int hours, Done done) {
  if (!store) return nullptr;
  // Read and decoded on a worker: 720 hours are a few thousand reports. The
  // worker also waits for a store still being opened at start-up, so the
  // first chart of a run gets what the last run kept; a store that is off
  // reads as nothing, and the chart then asks the service.
  const std::int64_t now = clock();
  const std::int64_t from = now - std::int64_t{std::max(hours, 1)} * 3600;
  return fetcher.makeLater(
      [kept = store, station, from, to = now + kMostAheadSeconds] {
        PageReading reading = readStored(station, kept->metars(station.icao, from, to));
        if (reading.ok()) reading.forecasts = readStoredForecasts(*kept, station.icao, from - kLongestTafSeconds, to);
        return reading;
      },
      std::move(done));
}

ObservationList MetarSource::storedSince(const Station& station, std::int64_t from) {
  if (!store || !store->isOpen()) return {};
  return readStored(station, store->metars(station.icao, from, clock() + kMostAheadSeconds)).observations;
}

std::vector<IssuedForecast> MetarSource::readStoredForecasts(const ReportStore& store, const std::string& icao,
                                                            std::int64_t from, std::int64_t to) {
  std::vector<IssuedForecast> forecasts;
  for (const StoredForecast& stored : store.forecasts(icao, from, to))
    forecasts.push_back({stored.issuedAt, decodeTaf(stored.raw, UtcDateTime::fromEpochMinutes(stored.issuedAt / 60))});
  return forecasts;
}

MetarSource::Lacking MetarSource::lacking(const Station& station, int hours) const {
  const std::int64_t now = clock();
  hours = std::clamp(hours, 1, kServiceHours);
  if (!store || !store->isOpen()) return {hours, std::nullopt};
  const std::int64_t from = now - std::int64_t{hours} * 3600;
  const std::optional<std::int64_t> asked = store->askedSince(station.icao);
  if (!asked || *asked > from) return {hours, from};
  const std::optional<std::int64_t> newest = store->newestTime(station.icao);
  if (!newest) return {hours, from};
  const std::int64_t since = std::max<std::int64_t>(now - *newest, 0);
  return {static_cast<int>(std::clamp<std::int64_t>((since + 3599) / 3600, 1, hours)), std::nullopt};
}

std::unique_ptr<FetchTicket> MetarSource::requestLacking(const Station& station, int hours, Done done) {
  const Lacking ask = lacking(station, hours);
  return request(station, ask.hours, std::move(done), ask.completeFrom);
}

PageReading MetarSource::readAnswer(const FetchResult& fetched, std::int64_t now,
                                    std::vector<StoredMetar>* reports) {
  PageReading reading;
  if (describeFetchFailure(fetched, reading)) return reading;
  if (fetched.status == FetchStatus::kHttpError && fetched.httpStatus == 429) {
    reading.outcome = ReadOutcome::kRateLimited;
    return reading;
  }
  if (!fetched.ok()) {
    reading.outcome = ReadOutcome::kServiceError;
    reading.detail = fetched.errorText;
    return reading;
  }
  // 204 with an empty body: a station the service does not know.
  if (fetched.httpStatus == 204 || fetched.body.empty()) return reading;
  MetarAnswer answer = readMetarAnswer(fetched.body, now);
  if (!answer.readable) {
    reading.outcome = ReadOutcome::kUnreadable;
    return reading;
  }
  reading.skippedReports = answer.skipped;
  if (answer.observations.empty()) return reading;
  reading.outcome = ReadOutcome::kLoaded;
  reading.observations = std::move(answer.observations);
  if (reports != nullptr) *reports = std::move(answer.reports);
  return reading;
}

}  // namespace nimbrel
