#include "observations/TafSource.h"

#include <nlohmann/json.hpp>

#include "base/Text.h"
#include "observations/ApiJson.h"
#include "metar/TafDecoder.h"

namespace nimbrel {
namespace {

// A TAF answer is a few KB.
constexpr int kReadBufferSize = 16 * 1024;
// An answer for a past instant holds a TAF and its amendments.
constexpr int kPastReadBufferSize = 64 * 1024;

bool digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  if (at + count > text.size()) return false;
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

std::optional<UtcDateTime> parseIsoTime(std::string_view text) {
  UtcDateTime time;
  if (!digits(text, 0, 4, time.year) || text.size() < 16 || text[4] != '-' || !digits(text, 5, 2, time.month) ||
      text[7] != '-' || !digits(text, 8, 2, time.day) || (text[10] != 'T' && text[10] != ' ') ||
      !digits(text, 11, 2, time.hour) || text[13] != ':' || !digits(text, 14, 2, time.minute))
    return std::nullopt;
  if (!time.isValid()) return std::nullopt;
  return time;
}

namespace {

// One object of the API's array read into a reading: ok with a forecast,
// ok without one (NIL, CNL), or why not.
TafReading readTafItem(const nlohmann::json& item) {
  TafReading reading;
  const auto raw = item.is_object() ? item.find("rawTAF") : item.end();
  if (!item.is_object() || raw == item.end() || !raw->is_string()) {
    reading.note = "The aviation weather service's forecast has no TAF text.";
    return reading;
  }
  // The anchor turns the TAF's day-hour times into dates: its issue time,
  // else the start of its validity.
  std::optional<UtcDateTime> anchor;
  if (const auto issue = item.find("issueTime"); issue != item.end() && issue->is_string())
    anchor = parseIsoTime(issue->get_ref<const std::string&>());
  if (!anchor) {
    if (const auto from = item.find("validTimeFrom"); from != item.end() && from->is_number_integer())
      anchor = epochSecondsToUtc(from->get<std::int64_t>());
  }
  if (!anchor) {
    reading.note = "The aviation weather service's forecast has no time.";
    return reading;
  }
  TafForecast forecast = decodedForecast(raw->get<std::string>(), *anchor);
  // NIL and CNL say there is no forecast: nothing is shown.
  if (forecast.report.nil || forecast.report.cancelled) {
    reading.ok = true;
    return reading;
  }
  if (forecast.report.status == MetarStatus::Rejected || forecast.hours.empty()) {
    reading.note = "The aviation weather service's forecast could not be decoded.";
    return reading;
  }
  reading.ok = true;
  reading.forecast = std::move(forecast);
  return reading;
}

}  // namespace

TafReading readTafAnswer(std::string_view json) {
  const nlohmann::json document = parseApiJson(json);
  if (document.is_discarded() || !document.is_array()) {
    TafReading reading;
    reading.note = "The aviation weather service's forecast could not be read.";
    return reading;
  }
  if (document.empty()) {
    TafReading reading;
    reading.ok = true;  // the station has no TAF
    return reading;
  }
  return readTafItem(document.front());
}

PastTafReading readTafAnswers(std::string_view json) {
  PastTafReading reading;
  const nlohmann::json document = parseApiJson(json);
  if (document.is_discarded() || !document.is_array()) {
    reading.note = "The aviation weather service's forecasts could not be read.";
    return reading;
  }
  // One TAF the decoder cannot read costs only itself.
  for (const nlohmann::json& item : document)
    if (TafReading one = readTafItem(item); one.forecast) reading.forecasts.push_back(std::move(*one.forecast));
  reading.ok = true;
  return reading;
}

TafForecast decodedForecast(std::string raw, const UtcDateTime& anchor) {
  TafForecast forecast;
  forecast.rawText = std::move(raw);
  forecast.issued = anchor;
  forecast.report = decodeTaf(forecast.rawText, anchor);
  if (forecast.report.nil || forecast.report.cancelled || forecast.report.status == MetarStatus::Rejected)
    return forecast;
  forecast.hours = timeline(forecast.report);
  if (forecast.report.issued) forecast.issued = *forecast.report.issued;
  return forecast;
}

TafSource::TafSource(AsyncPageFetcher& fetcher, Clock clock)
    : clock(clock ? std::move(clock) : Clock(epochSecondsNow)), fetcher(fetcher) {}

std::string TafSource::url(const std::string& icao) const {
  std::string text = baseUrl;
  while (!text.empty() && text.back() == '/') text.pop_back();
  return text + "/api/data/taf?ids=" + percentEncoded(icao) + "&format=json";
}

std::unique_ptr<FetchTicket> TafSource::request(const Station& station, Done done) {
  return fetcher.fetchRead(
      url(station.icao), kReadBufferSize,
      [icao = station.icao, kept = store](FetchResult fetched) {
        TafReading reading = readAnswer(fetched);
        if (kept && reading.forecast) {
          const StoredForecast forecast{icao, reading.forecast->issued.epochMinutes() * 60, reading.forecast->rawText};
          kept->putForecasts(std::span(&forecast, 1));
        }
        return reading;
      },
      std::move(done));
}

std::string TafSource::url(const std::string& icao, std::int64_t validAt) const {
  const UtcDateTime at = UtcDateTime::fromEpochMinutes(validAt / 60);
  return url(icao) + "&date=" +
         percentEncoded(formatText("%04d-%02d-%02dT%02d:%02d:00Z", at.year, at.month, at.day, at.hour, at.minute));
}

bool TafSource::wasAsked(const std::string& icao, std::int64_t validAt) const {
  return asked.contains({icao, validAt});
}

std::unique_ptr<FetchTicket> TafSource::requestValidAt(const Station& station, std::int64_t validAt, PastDone done) {
  const std::int64_t at = now();
  while (!pastSentTimes.empty() && at - pastSentTimes.front() >= 60) pastSentTimes.pop_front();
  if (static_cast<int>(pastSentTimes.size()) >= kPastRequestsPerMinute) {
    PastTafReading refused;
    refused.note = "Too many requests for past forecasts this minute.";
    return fetcher.deliverLater(std::move(refused), std::move(done));
  }
  pastSentTimes.push_back(at);
  asked.insert({station.icao, validAt});
  return fetcher.fetchRead(
      url(station.icao, validAt), kPastReadBufferSize,
      [icao = station.icao, kept = store](FetchResult fetched) {
        PastTafReading reading = readPastAnswer(fetched);
        if (kept && !reading.forecasts.empty()) {
          std::vector<StoredForecast> forecasts;
          for (const TafForecast& f : reading.forecasts)
            forecasts.push_back({icao, f.issued.epochMinutes() * 60, f.rawText});
          kept->putForecasts(forecasts);
        }
        return reading;
      },
      std::move(done));
}

std::unique_ptr<FetchTicket> TafSource::requestStored(const Station& station, std::int64_t from, std::int64_t to,
                                                      StoredDone done) {
  if (!store) return nullptr;
  return fetcher.makeLater(
      [kept = store, icao = station.icao, from, to] {
        std::vector<TafForecast> forecasts;
        for (StoredForecast& stored : kept->forecasts(icao, from, to))
          forecasts.push_back(
              decodedForecast(std::move(stored.raw), UtcDateTime::fromEpochMinutes(stored.issuedAt / 60)));
        return forecasts;
      },
      std::move(done));
}

PastTafReading TafSource::readPastAnswer(const FetchResult& fetched) {
  PastTafReading reading;
  if (fetched.status == FetchStatus::kCancelled) {
    reading.cancelled = true;
    return reading;
  }
  if (!fetched.ok()) {
    reading.note = "The aviation weather service's past forecasts did not come: " + fetched.errorText + ".";
    return reading;
  }
  if (fetched.httpStatus == 204 || fetched.body.empty()) {
    reading.ok = true;
    return reading;
  }
  return readTafAnswers(fetched.body);
}

TafReading TafSource::readAnswer(const FetchResult& fetched) {
  TafReading reading;
  if (fetched.status == FetchStatus::kCancelled) {
    reading.cancelled = true;
    return reading;
  }
  if (!fetched.ok()) {
    reading.note = "The aviation weather service's forecast did not come: " + fetched.errorText + ".";
    return reading;
  }
  // 204 with an empty body: a station the service does not know.
  if (fetched.httpStatus == 204 || fetched.body.empty()) {
    reading.ok = true;
    return reading;
  }
  return readTafAnswer(fetched.body);
}

}  // namespace nimbrel
