#pragma once
// Report pages composed for tests, in the service's page grammar, and a
// local report service that answers the report path with them.
#include <httplib.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "base/Text.h"
#include "metar/UtcDateTime.h"

#include "support/LocalHttpServer.h"

namespace nimbrel::test {

struct PageReport {
  int year = 2026, month = 12, day = 7, hour = 17, minute = 53;  // UTC
  double temperature = 12.2;
  double pressureMb = 1016.3;
  double inches = 30.01;
  double windDirection = 160;
  double windSpeed = 4.6;
  bool calm = false;
};

// "12&#46;2": the page writes the decimal point as an entity.
inline std::string PageNumber(double value, int decimals) {
  const std::string text = formatText("%.*f", decimals, value);
  std::string out;
  for (const char* p = text.c_str(); *p != '\0'; ++p) {
    if (*p == '.') {
      out += "&#46;";
    } else {
      out += *p;
    }
  }
  return out;
}

inline std::string ComposeReport(const PageReport& r) {
  char date[32], time[16];
  std::snprintf(date, sizeof date, "%d/%d/%d", r.month, r.day, r.year);
  std::snprintf(time, sizeof time, "%02d:%02d", r.hour, r.minute);
  std::string page;
  page += "<TR><TD>Conditions at</TD><TD ALIGN=\"left\">TEST&#160;&#160;" + std::string(date) +
          "&#160;UTC, observed " + time + "&#160;UTC</TD></TR>\n";
  page += "<TR><TD>Temperature</TD><TD ALIGN=\"left\">" + PageNumber(r.temperature, 1) + "&deg;C</TD></TR>\n";
  page += "<TR><TD>Dewpoint</TD><TD ALIGN=\"left\">2&#46;0&deg;C [RH&#160;=&#160;50&#37;]</TD></TR>\n";
  page += "<TR><TD>Pressure (altimeter)</TD><TD ALIGN=\"left\">" + PageNumber(r.inches, 2) + "&#160;inches Hg (" +
          PageNumber(r.pressureMb, 1) + "&#160;mb)</TD></TR>\n";
  if (r.calm) {
    page += "<TR><TD>Winds</TD><TD ALIGN=\"left\">calm</TD></TR>\n";
  } else {
    page += "<TR><TD>Winds</TD><TD ALIGN=\"left\">from the W (" + PageNumber(r.windDirection, 0) +
            "&#160;degrees) at 10 MPH (9 knots; " + PageNumber(r.windSpeed, 1) + "&#160;m/s)</TD></TR>\n";
  }
  page += "<TR><TD>Visibility</TD><TD ALIGN=\"left\">10 or more miles (16+ km)</TD></TR>\n";
  page += "<TR><TD>Clouds</TD><TD ALIGN=\"left\">few clouds</TD></TR>\n";
  page += "Report: <SPAN CLASS=\"monospace\">TEST 071753Z 27009KT<BR>\n";
  return page;
}

// The UTC instant of UTC calendar fields, as observedAt holds a report's time.
inline std::int64_t AtUtc(int year, int month, int day, int hour, int minute) {
  return UtcDateTime{year, month, day, hour, minute}.epochMinutes() * 60;
}

// The instant of a calendar time on the computer's own clock.
inline std::int64_t AsLocal(int year, int month, int day, int hour, int minute) {
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&fields));
}

// Reports every `step` minutes back from 17:53 UTC on 7 December, newest
// first, each a degree warmer and ten degrees of wind further round.
inline std::vector<PageReport> Reports(int count, int step) {
  std::vector<PageReport> reports;
  for (int i = 0; i < count; ++i) {
    PageReport r;
    const int minutes = 17 * 60 + 53 - i * step;
    r.hour = minutes / 60;
    r.minute = minutes % 60;
    r.temperature = 10.0 + i;
    r.windDirection = 10.0 * (i + 1);
    reports.push_back(r);
  }
  return reports;
}

inline std::string ComposePage(const std::vector<PageReport>& reports) {
  std::string page = "<HTML><BODY><TABLE>\n";
  for (const PageReport& r : reports) page += ComposeReport(r);
  return page + "</TABLE></BODY></HTML>\n";
}

// Answers the report page path: the page set for the query's hoursStr, or
// the default page; counts the requests.
class ReportService {
 public:
  ReportService() {
    server.Server().Get("/weather/surface/index.php", [this](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex);
      ++requests;
      lastHours = request.get_param_value("hoursStr");
      lastStation = request.get_param_value("metarIds");
      auto it = pages.find(lastHours);
      response.set_content(it != pages.end() ? it->second : defaultPage, "text/html");
    });
  }

  bool start() { return server.start(); }
  std::string Host() const { return "127.0.0.1:" + std::to_string(server.listeningPort()); }

  // hoursStr as the program writes it; the query decodes "+" to a blank.
  void SetPage(std::string hoursStr, const std::string& page) {
    for (char& c : hoursStr) {
      if (c == '+') c = ' ';
    }
    std::lock_guard lock(mutex);
    pages[hoursStr] = page;
  }
  void SetDefaultPage(const std::string& page) {
    std::lock_guard lock(mutex);
    defaultPage = page;
  }
  int Requests() {
    std::lock_guard lock(mutex);
    return requests;
  }
  // The last request's query values, as the server decoded them.
  std::string LastStation() {
    std::lock_guard lock(mutex);
    return lastStation;
  }
  std::string LastHours() {
    std::lock_guard lock(mutex);
    return lastHours;
  }

 private:
  LocalHttpServer server;
  std::mutex mutex;
  std::map<std::string, std::string> pages;
  std::string defaultPage = "<HTML>Sorry, no data</HTML>";
  std::string lastHours;
  std::string lastStation;
  int requests = 0;
};

}  // namespace nimbrel::test
