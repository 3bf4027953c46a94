#include "SampleService.h"

#include "SampleApiJson.h"
#include "SampleMetarDay.h"
#include "SampleTafCorpus.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace nimbrel::sample {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::uint32_t hash(const std::string& text) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : text) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

std::string cut(const std::string& line, std::size_t pos, std::size_t width) {
  if (pos >= line.size()) return {};
  return trimmed(line.substr(pos, width));
}

// "dd mmH" or "ddd mmH" with degrees of degreeDigits digits.
double readAngle(const std::string& text, std::size_t degreeDigits, char negative) {
  if (text.size() < degreeDigits) return 0.0;
  double degrees = std::atof(text.substr(0, degreeDigits).c_str());
  if (text.size() > degreeDigits + 1) degrees += std::atof(text.substr(degreeDigits + 1, 2).c_str()) / 60.0;
  // Not a position on the globe ("9e9", "inf"): treated as no position.
  if (!std::isfinite(degrees) || degrees > 180.0) return 0.0;
  return !text.empty() && text.back() == negative ? -degrees : degrees;
}

std::string format(const char* format, auto... args) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

// A value with one decimal as the pages write it: "-0&#46;4".
std::string splitDecimal(double value) {
  const long tenths = std::lround(value * 10.0);
  const long magnitude = tenths < 0 ? -tenths : tenths;
  return format("%s%ld&#46;%ld", tenths < 0 ? "-" : "", magnitude / 10, magnitude % 10);
}

const char* compassPoint(int degrees) {
  static const char* kPoints[] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                  "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
  return kPoints[((degrees * 100 + 1125) / 2250) % 16];
}

struct Weather {
  double temperature;
  double dewpoint;
  int humidity;
  double millibars;
  double inches;
  int windDegrees;
  int windKnots;
  int visibilityMiles;
  int cloudCover;  // 0 clear .. 3 overcast
  int cloudBase;   // feet
  bool rain;
};

Weather weatherAt(const SampleStation& station, std::time_t t) {
  const std::uint32_t seed = hash(station.icao);
  const double hours = static_cast<double>(t) / 3600.0;
  const double solarHour = std::fmod(hours + station.longitude / 15.0 + 240.0, 24.0);
  const double base = 28.0 - 0.45 * std::fabs(station.latitude) + static_cast<double>(seed % 7) - 3.0;
  const double amplitude = 3.0 + static_cast<double>(seed % 5);
  Weather w{};
  w.temperature = base + amplitude * std::cos(2.0 * kPi * (solarHour - 15.0) / 24.0);
  const double spread = 2.0 + 4.0 * (1.0 + std::sin(hours / 17.0 + seed % 11)) / 2.0;
  w.dewpoint = w.temperature - spread;
  auto saturation = [](double c) { return std::exp(17.62 * c / (243.12 + c)); };
  w.humidity = static_cast<int>(std::lround(100.0 * saturation(w.dewpoint) / saturation(w.temperature)));
  w.millibars = 1013.0 + 9.0 * std::sin(hours / 41.0 + seed % 13) + 2.5 * std::sin(hours / 7.0);
  w.millibars = std::round(w.millibars * 10.0) / 10.0;
  w.inches = std::round(w.millibars * 0.0295300 * 100.0) / 100.0;
  w.windDegrees = static_cast<int>(std::lround(static_cast<double>(seed % 360) + hours * 4.0)) % 360 / 10 * 10;
  if (w.windDegrees == 0) w.windDegrees = 360;
  w.windKnots = static_cast<int>(std::lround(8.0 + 8.0 * std::sin(hours / 5.0 + seed % 17)));
  if (w.windKnots < 2) w.windKnots = 0;
  w.cloudCover = static_cast<int>(std::lround(1.5 + 1.5 * std::sin(hours / 9.0 + seed % 5)));
  w.cloudBase = 1000 * (2 + static_cast<int>((seed / 7 + static_cast<std::uint32_t>(hours / 6)) % 10));
  w.rain = w.cloudCover == 3 && w.humidity > 70;
  w.visibilityMiles = w.rain ? 4 : 10;
  return w;
}

std::string reportBlock(const SampleStation& station, std::time_t t) {
  const Weather w = weatherAt(station, t);
  std::tm utc{};
  gmtime_r(&t, &utc);
  const double fahrenheit = w.temperature * 1.8 + 32.0;
  const double dewFahrenheit = w.dewpoint * 1.8 + 32.0;
  static const char* kCover[] = {"sky clear", "few clouds", "scattered clouds", "overcast"};
  static const char* kCode[] = {"SKC", "FEW", "SCT", "OVC"};

  std::string block;
  block += "<TABLE BORDER=\"0\" CELLPADDING=\"2\">\n";
  block += "<TR><TD ALIGN=\"right\"><B>Conditions at</B></TD><TD ALIGN=\"left\">" + station.icao +
           format("&#160;&#160;%d/%d/%04d&#160;UTC, observed %02d:%02d&#160;UTC</TD></TR>\n", utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_year + 1900, utc.tm_hour, utc.tm_min);
  block += "<TR><TD ALIGN=\"right\"><B>Temperature</B></TD><TD ALIGN=\"left\">" + splitDecimal(w.temperature) +
           format("&deg;C (%ld&deg;F)</TD></TR>\n", std::lround(fahrenheit));
  block += "<TR><TD ALIGN=\"right\"><B>Dewpoint</B></TD><TD ALIGN=\"left\">" + splitDecimal(w.dewpoint) +
           format("&deg;C (%ld&deg;F) [RH&#160;=&#160;%d&#37;]</TD></TR>\n", std::lround(dewFahrenheit),
                  w.humidity);
  const long inchHundredths = std::lround(w.inches * 100.0);
  block += format(
      "<TR><TD ALIGN=\"right\"><B>Pressure (altimeter)</B></TD><TD ALIGN=\"left\">%ld&#46;%02ld&#160;inches Hg (",
      inchHundredths / 100, inchHundredths % 100);
  block += splitDecimal(w.millibars) + "&#160;mb)</TD></TR>\n";
  block += "<TR><TD ALIGN=\"right\"><B>Winds</B></TD><TD ALIGN=\"left\">";
  if (w.windKnots == 0) {
    block += "calm";
  } else {
    block += format("from the %s (%d&#160;degrees) at %ld MPH (%d knots; ", compassPoint(w.windDegrees),
                    w.windDegrees, std::lround(w.windKnots * 1.15078), w.windKnots);
    block += splitDecimal(w.windKnots * 0.514444) + "&#160;m/s)";
  }
  block += "</TD></TR>\n";
  block += w.visibilityMiles >= 10
               ? std::string("<TR><TD ALIGN=\"right\"><B>Visibility</B></TD><TD ALIGN=\"left\">10 or more miles "
                             "(16+ km)</TD></TR>\n")
               : format("<TR><TD ALIGN=\"right\"><B>Visibility</B></TD><TD ALIGN=\"left\">%d miles (%ld "
                        "km)</TD></TR>\n",
                        w.visibilityMiles, std::lround(w.visibilityMiles * 1.609344));
  // Rows with nothing to report are left out, as the service does.
  if (w.cloudCover == 3)
    block += format("<TR><TD ALIGN=\"right\"><B>Ceiling</B></TD><TD ALIGN=\"left\">%d feet AGL</TD></TR>\n",
                    w.cloudBase);
  block += "<TR><TD ALIGN=\"right\"><B>Clouds</B></TD><TD ALIGN=\"left\">" + std::string(kCover[w.cloudCover]) +
           (w.cloudCover == 0 ? std::string() : format(" at %d feet AGL", w.cloudBase)) + "</TD></TR>\n";
  if (w.rain) block += "<TR><TD ALIGN=\"right\"><B>Present Weather</B></TD><TD ALIGN=\"left\">light rain</TD></TR>\n";

  const long tempWhole = std::lround(w.temperature);
  const long dewWhole = std::lround(w.dewpoint);
  std::string report = station.icao + format(" %02d%02d%02dZ ", utc.tm_mday, utc.tm_hour, utc.tm_min);
  report += w.windKnots == 0 ? std::string("00000KT") : format("%03d%02dKT", w.windDegrees, w.windKnots);
  report += format(" %dSM%s %s", w.visibilityMiles, w.rain ? " -RA" : "", kCode[w.cloudCover]);
  if (w.cloudCover != 0) report += format("%03d", w.cloudBase / 100);
  report += format(" %s%02ld/%s%02ld A%04ld", tempWhole < 0 ? "M" : "", tempWhole < 0 ? -tempWhole : tempWhole,
                   dewWhole < 0 ? "M" : "", dewWhole < 0 ? -dewWhole : dewWhole, inchHundredths);
  block += "</TABLE>\nReport: <SPAN CLASS=\"monospace\">" + report + "<BR>\n</SPAN><HR>\n";
  return block;
}

const char* kPageHead =
    "<HTML>\n<HEAD><TITLE>Decoded surface observations</TITLE></HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n";
const char* kPageTail = "</BODY>\n</HTML>\n";

bool readFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

bool safeIcao(const std::string& icao) {
  if (icao.empty() || icao.size() > 8) return false;
  return std::all_of(icao.begin(), icao.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
  });
}

}  // namespace

std::vector<SampleStation> readSampleStations(const std::string& listText) {
  std::vector<SampleStation> result;
  std::istringstream in(listText);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() < 83 || line[0] == '!') continue;
    SampleStation station;
    station.icao = cut(line, 20, 4);
    if (station.icao.size() != 4) continue;
    station.latitude = readAngle(cut(line, 39, 6), 2, 'S');
    station.longitude = readAngle(cut(line, 47, 7), 3, 'W');
    station.name = cut(line, 3, 16);
    station.region = cut(line, 0, 2);
    station.country = cut(line, 81, 2);
    station.iata = cut(line, 26, 3);
    const std::string elevation = cut(line, 54, 5);
    char* end = nullptr;
    const long metres = std::strtol(elevation.c_str(), &end, 10);
    if (!elevation.empty() && *end == '\0') station.elevationM = static_cast<int>(metres);
    result.push_back(station);
  }
  return result;
}

int reportIntervalMinutes(const std::string& icao) {
  static const int kIntervals[] = {20, 30, 60};
  return kIntervals[hash(icao) % 3];
}

std::vector<std::time_t> reportTimes(const SampleStation& station, int hours, std::time_t now) {
  const std::time_t interval = reportIntervalMinutes(station.icao) * 60;
  // Each station reports a few minutes before its slot, like xx:53.
  const std::time_t offset = static_cast<std::time_t>(hash(station.icao + "#") % 10 + 50) * 60 % interval;
  std::time_t newest = (now - offset) / interval * interval + offset;
  std::vector<std::time_t> times;
  if (hours <= 0) {
    times.push_back(newest);
    return times;
  }
  const std::time_t oldest = now - static_cast<std::time_t>(hours) * 3600;
  for (std::time_t t = newest; t > oldest; t -= interval) times.push_back(t);
  if (times.empty()) times.push_back(newest);
  return times;
}

std::string makeReportPage(const SampleStation& station, int hours, std::time_t now) {
  std::string page = kPageHead;
  page += "<H2>Decoded reports for " + station.icao + "</H2>\n";
  for (std::time_t t : reportTimes(station, hours, now)) page += reportBlock(station, t);
  page += kPageTail;
  return page;
}

std::string makeSorryPage(const std::string& icao) {
  return std::string(kPageHead) + "<P>Sorry, no reports were found for the station " + (safeIcao(icao) ? icao : "") +
         ".</P>\n" + kPageTail;
}

int hoursFromQuery(const std::string& hoursStr) {
  std::string text = hoursStr;
  std::replace(text.begin(), text.end(), '+', ' ');
  if (text == "most recent only") return 0;
  int hours = 0;
  char tail[16] = {};
  if (std::sscanf(text.c_str(), "past %d %15s", &hours, tail) == 2 && std::string(tail) == "hours" && hours > 0)
    return std::min(hours, 24 * 31);
  return -1;
}

SampleService::SampleService(std::string listText, std::string pagesDir)
    : listText(std::move(listText)), pagesDir(std::move(pagesDir)) {
  stations = readSampleStations(this->listText);
  for (const SampleStation& station : stations) stationsByIcao.emplace(station.icao, &station);
}

bool SampleService::loadMetarDay(const std::string& gzPath, std::string& error) {
  auto day = std::make_unique<SampleMetarDay>();
  if (!day->loadFile(gzPath, error)) return false;
  metar = std::move(day);
  return true;
}

bool SampleService::loadTafCorpus(const std::string& tsvPath, std::string& error) {
  auto corpus = std::make_unique<SampleTafCorpus>();
  if (!corpus->loadFile(tsvPath, stationsByIcao, error)) return false;
  taf = std::move(corpus);
  return true;
}

SampleService::~SampleService() { stop(); }

std::string SampleService::reportPageFor(const std::string& icao, const std::string& hoursStr) const {
  if (!pagesDir.empty() && safeIcao(icao)) {
    std::string saved;
    if (readFile(pagesDir + "/" + icao + ".html", saved)) return saved;
  }
  const int hours = hoursFromQuery(hoursStr);
  if (hours < 0) return makeSorryPage(icao);
  for (const SampleStation& station : stations) {
    if (station.icao == icao) return makeReportPage(station, hours, replayAt(now != 0 ? now : std::time(nullptr)).now);
  }
  return makeSorryPage(icao);
}

bool SampleService::start(int wantedPort) {
  stop();
  server = std::make_unique<httplib::Server>();
  server->Get("/weather/surface/index.php", [this](const httplib::Request& request, httplib::Response& response) {
    const std::string icao = request.get_param_value("metarIds");
    const std::string hoursStr = request.get_param_value("hoursStr");
    response.set_content(reportPageFor(icao, hoursStr), "text/html; charset=windows-1252");
  });
  server->Get("/weather/surface/stations.txt", [this](const httplib::Request&, httplib::Response& response) {
    response.set_content(listText, "text/plain; charset=windows-1252");
  });
  if (!pagesDir.empty()) server->set_mount_point("/pages", pagesDir);
  // Made once: the list does not change while the service runs.
  server->Get("/data/cache/stations.cache.json.gz",
              [gz = gzipped(stationsCacheJson(stations))](const httplib::Request&, httplib::Response& response) {
                response.set_content(gz, "application/x-gzip");
              });
  startTime = std::time(nullptr);
  if (metar) {
    auto answer = [](httplib::Response& response, ApiAnswer reply) {
      response.status = reply.status;
      if (reply.status != 204) response.set_content(std::move(reply.body), reply.contentType);
    };
    server->Get("/api/data/metar", [this, answer](const httplib::Request& request, httplib::Response& response) {
      const Replay replay = replayAt(now != 0 ? now : startTime);
      answer(response, metar->metarApi(request.get_param_value("ids"), request.get_param_value("format"),
                                       request.get_param_value("hours"), request.has_param("hours"), replay.now,
                                       stationsByIcao, replay.behind));
    });
    server->Get("/data/cache/metars.cache.csv.gz", [this, answer](const httplib::Request&, httplib::Response& response) {
      const Replay replay = replayAt(now != 0 ? now : startTime);
      answer(response, metar->cacheCsvGz(replay.now, stationsByIcao, replay.behind));
    });
  }
  if (taf) {
    // The request's own time, so a long-running service keeps its TAFs valid.
    server->Get("/api/data/taf", [this](const httplib::Request& request, httplib::Response& response) {
      ApiAnswer reply = taf->tafApi(request.get_param_value("ids"), request.get_param_value("format"),
                                    replayAt(now != 0 ? now : std::time(nullptr)).now, stationsByIcao,
                                    request.get_param_value("date"), request.get_param_value("time"));
      response.status = reply.status;
      response.set_content(std::move(reply.body), reply.contentType);
    });
  }

  // A test or a user moves the replayed day on while the service runs.
  server->Post("/sample/advance", [this](const httplib::Request& request, httplib::Response& response) {
    const std::string text = request.get_param_value("minutes");
    char* end = nullptr;
    const long minutes = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || minutes <= 0 || minutes > 7 * 24 * 60) {
      response.status = 400;
      response.set_content("minutes: a whole number from 1 to 10080\n", "text/plain");
      return;
    }
    advance(static_cast<int>(minutes));
    response.set_content("advanced " + std::to_string(advancedMinutes()) + " minutes\n", "text/plain");
  });

  if (wantedPort == 0) {
    port = server->bind_to_any_port("127.0.0.1");
    if (port <= 0) {
      server.reset();
      port = 0;
      return false;
    }
  } else {
    if (!server->bind_to_port("127.0.0.1", wantedPort)) {
      server.reset();
      return false;
    }
    port = wantedPort;
  }
  thread = std::thread([this] { server->listen_after_bind(); });
  for (int i = 0; i < 5000 && !server->is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}

void SampleService::stop() {
  if (server) server->stop();
  if (thread.joinable()) thread.join();
  server.reset();
  port = 0;
}

}  // namespace nimbrel::sample
