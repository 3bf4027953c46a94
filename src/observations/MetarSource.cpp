#include "observations/MetarSource.h"


#include "base/Text.h"
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

std::unique_ptr<FetchTicket> MetarSource::request(const Station& station, int hours, Done done) {
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
      [station, now](FetchResult fetched) {
        return Read{readAnswer(fetched, now),
                    fetched.status == FetchStatus::kHttpError && fetched.httpStatus == 429};
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

PageReading MetarSource::readAnswer(const FetchResult& fetched, std::int64_t now) {
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
  return reading;
}

}  // namespace nimbrel
