#!/usr/bin/env python3
"""Tests of the station list builder: python3 -m unittest discover tools/stations"""

import gzip
import json
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import build_station_list as b  # noqa: E402


def station(**over):
    st = {"cd": "ZZ", "name": "SAMPLE FIELD", "icao": "ZZZZ", "iata": "ZZZ",
          "synop": "12345", "lat": "12 34N", "lon": "056 07W", "elev": 89,
          "m": "X", "a": "A", "prio": "5", "cy": "QQ"}
    st.update(over)
    return st


class CoordinateFormatTest(unittest.TestCase):
    def test_hemispheres_and_padding(self):
        self.assertEqual(b.format_latitude(12 + 34 / 60), "12 34N")
        self.assertEqual(b.format_latitude(-5.5), "05 30S")
        self.assertEqual(b.format_longitude(-(56 + 7 / 60)), "056 07W")
        self.assertEqual(b.format_longitude(139.78), "139 47E")
        self.assertEqual(b.format_latitude(0.0), "00 00N")
        self.assertEqual(b.format_longitude(0.0), "000 00E")

    def test_minutes_that_round_to_sixty_carry_into_degrees(self):
        self.assertEqual(b.format_latitude(10.9999), "11 00N")
        self.assertEqual(b.format_longitude(-179.9999), "180 00W")

    def test_out_of_range_is_refused(self):
        with self.assertRaises(ValueError):
            b.format_latitude(91.0)
        with self.assertRaises(ValueError):
            b.format_longitude(-181.0)


class StationLineTest(unittest.TestCase):
    def test_every_column_reads_back_at_its_position(self):
        line = b.format_station_line(station())
        self.assertEqual(len(line), 83)
        self.assertEqual(line, "ZZ SAMPLE FIELD     ZZZZ  ZZZ   12345  12 34N  056 07W   89   X"
                               "           A    5 QQ")
        cols = b.cut_columns(line)
        self.assertEqual((cols["cd"], cols["name"], cols["icao"], cols["iata"], cols["synop"]),
                         ("ZZ", "SAMPLE FIELD", "ZZZZ", "ZZZ", "12345"))
        self.assertEqual((cols["lat"], cols["lon"], cols["elev"], cols["cy"]),
                         ("12 34N", "056 07W", "89", "QQ"))
        self.assertEqual((cols["m"], cols["a"], cols["prio"]), ("X", "A", "5"))
        self.assertTrue(all(line[p] == " " for p in b.GAP_POSITIONS))

    def test_blank_optional_columns_keep_the_width(self):
        line = b.format_station_line(station(cd="", iata="", synop="", elev=None, a="", prio=""))
        self.assertEqual(len(line), 83)
        cols = b.cut_columns(line)
        self.assertEqual((cols["cd"], cols["iata"], cols["elev"]), ("", "", ""))
        self.assertEqual(cols["cy"], "QQ")

    def test_elevation_extremes_fit_four_characters(self):
        self.assertEqual(b.cut_columns(b.format_station_line(station(elev=-413)))["elev"], "-413")
        self.assertEqual(b.cut_columns(b.format_station_line(station(elev=4411)))["elev"], "4411")
        with self.assertRaises(ValueError):
            b.format_station_line(station(elev=12000))

    def test_name_must_fit_sixteen_characters(self):
        line = b.format_station_line(station(name="A" * 16))
        self.assertEqual(line[19], " ")
        for bad in ("A" * 17, ""):
            with self.assertRaises(ValueError):
                b.format_station_line(station(name=bad))

    def test_a_long_title_that_would_read_as_a_station_is_refused(self):
        res = type("R", (), {"countries": {"QQ": "X" * 71}, "region_names": {}})()
        st = {"position": (1.0, 2.0), "country": "QQ", "cd": "", "name": "N", "icao": "QQQQ",
              "iata": "", "elev": None}
        with self.assertRaises(ValueError):   # 71 + 3 + 9 = 83 characters
            b.build_lines([st], res, "18-FEB-23", [])
        res.countries["QQ"] = "X" * 40
        lines = b.build_lines([dict(st)], res, "18-FEB-23", [])
        self.assertEqual(sum(1 for l in lines if len(l) == 83), 1)


class NameTest(unittest.TestCase):
    def test_names_are_upper_case_ascii_within_sixteen(self):
        for raw in ("Priština Adem Jashari International Airport", "Þórshöfn Airport",
                    "Ísafjörður Airport", "São Gabriel da Cachoeira", "Łódź Władysław Reymont"):
            name = b.clean_name(raw)
            self.assertTrue(0 < len(name) <= 16, name)
            self.assertEqual(name, name.upper())
            self.assertTrue(all(32 <= ord(ch) < 127 for ch in name), name)
        self.assertEqual(b.clean_name("Þórshöfn Airport"), "THORSHOFN")

    def test_shortenings_slashes_and_asides(self):
        self.assertEqual(b.clean_name("Shenyang / Taokian"), "SHENYANG/TAOKIAN")
        self.assertEqual(b.clean_name("Bella Bella (Campbell Island) Airport"), "BELLA BELLA")
        self.assertEqual(b.clean_name("Rolla Municipal Airport"), "ROLLA MUNI")
        self.assertEqual(b.clean_name("Nashville International Airport"), "NASHVILLE INTL")

    def test_escaped_and_generic_source_names(self):
        self.assertEqual(b.clean_name("Eagle&amp;#39;s Nest AP"), "EAGLE'S NEST AP")
        self.assertEqual(b.noaa_name(["Rgnl AP", "St Mary&amp;#39;s", "Leonardtown", "MD"]),
                         "ST MARY'S")
        self.assertEqual(b.noaa_name(["Kunsan Ab"]), "KUNSAN AB")

    def test_long_names_are_cut_without_stubs(self):
        self.assertEqual(b.clean_name("Albacete / Los Llanos"), "ALBACETE/LOS LLA")
        self.assertEqual(b.clean_name("Pristina Adem Jashari"), "PRISTINA ADEM")
        self.assertEqual(b.clean_name("Abcdefghijklmnop Qrs"), "ABCDEFGHIJKLMNOP")

    def test_town_goes_in_front_unless_the_name_holds_it(self):
        self.assertEqual(b.oa_name("Nadzab Airport", "Lae"), "LAE/NADZAB")
        self.assertTrue(b.oa_name("Mount Hagen Kagamuga Airport", "Mount Hagen")
                        .startswith("MT HAGEN KAGAMUGA"[:16].rsplit(" ", 1)[0]))
        self.assertEqual(b.oa_name("Airport", "Hinckley"), "HINCKLEY")


def sources(stations, airports=(), iata=None):
    return {
        "stations": stations, "header": [], "iata_map": iata or {},
        "airports": list(airports),
        "countries": [{"code": c, "name": n} for c, n in
                      [("US", "United States"), ("CA", "Canada"), ("KR", "South Korea"),
                       ("IS", "Iceland"), ("CD", "Democratic Republic of the Congo")]],
        "regions": [{"code": "US-ND", "name": "North Dakota"}, {"code": "CA-AB", "name": "Alberta"},
                    {"code": "US-MN", "name": "Minnesota"}],
    }


def by_icao(stations):
    return {s["icao"]: s for s in stations}


class ResolveTest(unittest.TestCase):
    def test_noaa_descriptions_give_state_country_and_name(self):
        got, _, _ = b.resolve_stations(sources({
            "k06d": {"description": "Rolla Municipal Airport, ND, United States",
                     "location": "(0.8531945, -1.7387115)"},
            "rkjj": {"description": "Kwangju Ab, Korea, South", "location": "(0.6145, 2.2082)"},
            "cxen": {"description": "Enchant Agdm, ALTA, Canada", "location": "(0.8763, -1.9562)"},
            "fzaa": {"description": "Kinshasa / N'Djili, Congo, Democratic Republic Of The",
                     "location": "(-0.0755, 0.2694)"},
        }))
        got = by_icao(got)
        self.assertEqual((got["K06D"]["cd"], got["K06D"]["country"], got["K06D"]["name"]),
                         ("ND", "US", "ROLLA MUNI"))
        self.assertEqual((got["RKJJ"]["cd"], got["RKJJ"]["country"]), ("", "KR"))
        self.assertEqual((got["CXEN"]["cd"], got["CXEN"]["country"]), ("AB", "CA"))
        self.assertEqual(got["FZAA"]["country"], "CD")
        self.assertEqual(got["FZAA"]["name"], "KINSHASA/N'DJILI")
        self.assertAlmostEqual(got["K06D"]["position"][0], 48.8843, places=3)
        self.assertAlmostEqual(got["K06D"]["position"][1], -99.6208, places=3)

    def test_ourairports_record_wins_for_position_elevation_and_codes(self):
        airport = {"ident": "K04W", "gps_code": "K04W", "name": "Field of Dreams Airport",
                   "latitude_deg": "46.0", "longitude_deg": "-92.9", "elevation_ft": "1000",
                   "iso_country": "US", "iso_region": "US-MN", "municipality": "Hinckley",
                   "iata_code": "FOD"}
        got, _, _ = b.resolve_stations(sources({
            "k04w": {"description": "Field of Dreams Airport, Hinckley, MN, US",
                     "location": "(0.1, 0.1)"},
            "bgjn": {"description": "Ilulissat, Greenland, IS", "location": "(1.2, -0.9)"},
        }, [airport], {"jav": {"station": "bgjn"}, "xxx": {"station": "k04w"}}))
        got = by_icao(got)
        s = got["K04W"]
        self.assertEqual((s["position"], s["elev"], s["iata"], s["cd"]),
                         ((46.0, -92.9), 305, "FOD", "MN"))
        self.assertEqual(s["name"], "HINCKLEY/FIELD")
        self.assertEqual((got["BGJN"]["iata"], got["BGJN"]["elev"]), ("JAV", None))

    def test_stations_without_position_name_or_code_are_left_out(self):
        got, _, notes = b.resolve_stations(sources({
            "aggg": {"description": "unknown station in Solomon Islands", "location": "None"},
            "zzzz": {"description": "unknown station in Canada", "location": "(0.8, -1.9)"},
            "k1": {"description": "Short Code, ND, United States", "location": "(0.8, -1.7)"},
        }))
        self.assertEqual(got, [])
        self.assertEqual(notes["skipped: no position"], 1)
        self.assertEqual(notes["skipped: no name"], 1)

    def test_missing_country_and_state_come_from_the_nearest_station(self):
        got, _, _ = b.resolve_stations(sources({
            "k06d": {"description": "Rolla Municipal Airport, ND, United States",
                     "location": "(0.8531945, -1.7387115)"},
            "x07d": {"description": "Nearby Field, Somewhere", "location": "(0.8532, -1.7380)"},
        }))
        near = by_icao(got)["X07D"]
        self.assertEqual((near["country"], near["cd"]), ("US", "ND"))


class CheckTest(unittest.TestCase):
    GOOD_LINES = ["! comment", "", "NORTH DAKOTA       18-FEB-23", b.COLUMN_HEADER,
                  b.format_station_line(station(cd="ND", icao="K06D", cy="US")),
                  b.format_station_line(station(cd="", icao="RKJJ", cy="KR"))]

    def check(self, lines, end="\n", **kw):
        return b.check_bytes(("\n".join(lines) + end).encode("latin-1"), min_stations=1, **kw)

    def test_a_sound_list_passes_and_is_counted(self):
        problems, counts = self.check(self.GOOD_LINES)
        self.assertEqual(problems, [])
        self.assertEqual((counts["stations"], counts["with IATA"], counts["countries"]), (2, 2, 2))

    def test_faults_the_reader_would_trip_over_are_reported(self):
        good = self.GOOD_LINES
        cases = {
            "carriage return": ["! comment\r"] + good[4:],
            "82 characters": good[:4] + [good[4][:82]],
            "85 characters": good[:4] + [good[4] + "  "],
            "an 83-character comment": ["!" + "-" * 82] + good[4:],
            "duplicate ICAO": good + [good[4]],
            "bad latitude": [good[4][:39] + "95 00N" + good[4][45:]],
            "bad hemisphere": [good[4][:47] + "056 07w" + good[4][54:]],
            "state outside US/CA": [good[5][:0] + "ZZ" + good[5][2:]],
            "text between columns": [good[4][:24] + "X" + good[4][25:]],
            "blank ICAO": [good[4][:20] + "    " + good[4][24:]],
        }
        for what, lines in cases.items():
            problems, _ = self.check(lines)
            self.assertTrue(problems, what)

    def test_file_level_faults(self):
        self.assertIn("last line has no line feed", self.check(self.GOOD_LINES, end="")[0])
        problems, _ = self.check(self.GOOD_LINES[:4] + ["   CAF\xc9" + self.GOOD_LINES[5][8:]])
        self.assertTrue(any("ASCII" in p for p in problems))
        big = self.GOOD_LINES + ["!" + "x" * 99] * 10_001
        self.assertTrue(any("1000000" in p for p in self.check(big)[0]))
        self.assertTrue(b.check_bytes(b"! nothing\n", min_stations=1)[0])


class BuildTest(unittest.TestCase):
    def test_build_from_files_is_sound_ordered_and_reproducible(self):
        with tempfile.TemporaryDirectory() as tmp:
            wdir, adir = os.path.join(tmp, "w"), os.path.join(tmp, "a")
            os.makedirs(wdir)
            os.makedirs(adir)
            with gzip.open(os.path.join(wdir, "stations.gz"), "wt", encoding="utf-8") as f:
                f.write("# generated by weather on 2023-02-18 from public domain sources\n\n"
                        "[rkjj]\ndescription = Kwangju Ab, Korea, South\nlocation = (0.61, 2.2)\n\n"
                        "[cxen]\ndescription = Enchant Agdm, ALTA, Canada\n"
                        "location = (0.8763, -1.9562)\n\n"
                        "[k06d]\ndescription = Rolla Municipal Airport, ND, United States\n"
                        "location = (0.8531945, -1.7387115)\n")
            with gzip.open(os.path.join(wdir, "airports.gz"), "wt", encoding="utf-8") as f:
                f.write("[ksj]\nstation = rkjj\n")
            src = sources({})
            for name, key in (("airports.json", "airports"), ("countries.json", "countries"),
                              ("regions.json", "regions")):
                with open(os.path.join(adir, name), "w", encoding="utf-8") as f:
                    json.dump(src[key], f)
            out = os.path.join(tmp, "out", "Stations.txt")
            first = b.build(wdir, adir, out)
            self.assertEqual(b.check_bytes(first, min_stations=3)[0], [])
            self.assertEqual(b.build(wdir, adir, out), first)
            self.assertEqual(b.main(["--check", "--output", out, "--min-stations", "3"]), 0)
            stations = [l for l in first.decode().split("\n") if len(l) == 83]
            self.assertEqual([l[20:24] for l in stations], ["K06D", "CXEN", "RKJJ"])
            self.assertIn("NORTH DAKOTA       18-FEB-23", first.decode())
            self.assertEqual(b.cut_columns(stations[2])["iata"], "KSJ")

    def test_missing_sources_are_named(self):
        with tempfile.TemporaryDirectory() as tmp:
            with self.assertRaises(b.SourceError):
                b.load_sources(tmp, tmp)
            self.assertEqual(b.main(["--weather-dir", tmp, "--airports-dir", tmp,
                                     "--output", os.path.join(tmp, "S.txt")]), 2)
            self.assertFalse(os.path.exists(os.path.join(tmp, "S.txt")))


if __name__ == "__main__":
    unittest.main()
