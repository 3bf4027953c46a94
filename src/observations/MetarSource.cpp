#include "observations/MetarSource.h"

#include <chrono>

#include "base/Text.h"
#include "observations/MetarObservation.h"
#include "observations/ReportPageSource.h"

namespace nimbrel {
namespace {

std::int64_t systemSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// The size of a read: a day of reports of one station is a few tens of KB.
constexpr int kReadBufferSize = 64 * 1024;

}  // namespace

MetarSource::MetarSource(AsyncPageFetcher& fetcher, Clock clock)
    : fetcher(fetcher), clock(clock ? std::move(clock) : Clock(systemSeconds)) {}

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

std::unique_ptr<FetchTicket> MetarSource::refuse(const Station& station, const std::string& note, Done done) {
  FetchResult refused;
  refused.status = FetchStatus::kHttpError;
  return fetcher.deliverLater(refused, [station, note, done = std::move(done)](FetchResult) {
    PageReading reading;
    reading.failureText = noDataText(station);
    reading.statusNote = note;
    done(std::move(reading));
  });
}

std::unique_ptr<FetchTicket> MetarSource::request(const Station& station, int hours, Done done) {
  const std::int64_t now = clock();
  // The service lets an answer be reused for a minute: a station asked
  // again within it is answered from the last answer when that covers
  // as many hours.
  const auto last = answers.find(station.icao);
  if (last != answers.end() && now - last->second.at < kStationLimitSeconds) {
    // An answer of fewer hours (or of the newest report only) does not
    // cover the hours asked for, and another request must wait.
    if (hours > last->second.hours)
      return refuse(station, "The aviation weather service allows one request a station a minute: try again shortly.",
                    std::move(done));
    return fetcher.deliverLater(last->second.result, [station, done = std::move(done)](FetchResult fetched) {
      done(readAnswer(station, fetched));
    });
  }
  if (now < pausedUntil)
    return refuse(station, "The aviation weather service asked us to wait: asking again in a minute.", std::move(done));
  while (!sentTimes.empty() && now - sentTimes.front() >= 60) sentTimes.pop_front();
  if (static_cast<int>(sentTimes.size()) >= kRequestsPerMinute)
    return refuse(station, "A hundred requests this minute: waiting before asking again.", std::move(done));
  sentTimes.push_back(now);

  return fetcher.fetchAsync(url(station.icao, hours), kReadBufferSize,
                            [this, station, hours, done = std::move(done)](FetchResult fetched) {
                              const std::int64_t at = clock();
                              if (fetched.status == FetchStatus::kHttpError && fetched.httpStatus == 429) {
                                pausedUntil = at + kBackOffSeconds;
                              } else if (fetched.ok()) {
                                answers[station.icao] = Answer{at, hours, fetched};
                              }
                              done(readAnswer(station, fetched));
                            });
}

PageReading MetarSource::readAnswer(const Station& station, const FetchResult& fetched) {
  PageReading reading;
  if (describeFetchFailure(fetched, reading)) return reading;
  reading.failureText = noDataText(station);
  if (fetched.status == FetchStatus::kHttpError && fetched.httpStatus == 429) {
    reading.statusNote = "The aviation weather service asked us to wait: asking again in a minute.";
    return reading;
  }
  if (!fetched.ok()) {
    reading.statusNote = "The aviation weather service answered: " + fetched.errorText + ".";
    return reading;
  }
  // 204 with an empty body: a station the service does not know.
  if (fetched.httpStatus == 204 || fetched.body.empty()) return reading;
  MetarAnswer answer = readMetarAnswer(fetched.body);
  if (!answer.readable) {
    reading.statusNote = "The aviation weather service's answer could not be read.";
    return reading;
  }
  if (answer.skipped > 0)
    reading.statusNote = std::to_string(answer.skipped) + " of the service's reports could not be read.";
  if (answer.observations.empty()) return reading;
  reading.ok = true;
  reading.failureText.clear();
  reading.observations = std::move(answer.observations);
  return reading;
}

}  // namespace nimbrel
