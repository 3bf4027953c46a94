<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutBox</name>
    <message>
        <location filename="../src/ui/Application.cpp" line="+161"/>
        <source>About Nimbrel</source>
        <translation>Über Nimbrel</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Nimbrel Version %1</source>
        <translation>Nimbrel Version %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Free software under the MIT License.&lt;br&gt;Weather reports and forecasts: the aviation weather service (&lt;a href=&quot;https://aviationweather.gov&quot;&gt;aviationweather.gov&lt;/a&gt;).&lt;br&gt;Map data: &lt;a href=&quot;https://www.naturalearthdata.com&quot;&gt;Natural Earth&lt;/a&gt; (public domain).&lt;br&gt;&lt;a href=&quot;manual&quot;&gt;Nimbrel Help&lt;/a&gt;</source>
        <translation>Freie Software unter der MIT-Lizenz.&lt;br&gt;Wettermeldungen und Vorhersagen: der Flugwetterdienst (&lt;a href=&quot;https://aviationweather.gov&quot;&gt;aviationweather.gov&lt;/a&gt;).&lt;br&gt;Kartendaten: &lt;a href=&quot;https://www.naturalearthdata.com&quot;&gt;Natural Earth&lt;/a&gt; (gemeinfrei).&lt;br&gt;&lt;a href=&quot;manual&quot;&gt;Nimbrel-Hilfe&lt;/a&gt;</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../src/ui/ChildView.h" line="+17"/>
        <location filename="../src/ui/FrameParts.cpp" line="+15"/>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <location filename="../src/ui/FrameParts.cpp" line="+11"/>
        <source>Store off</source>
        <translation>Archiv aus</translation>
    </message>
    <message>
        <location filename="../src/ui/UpdateStationListAction.cpp" line="+27"/>
        <source>&amp;Update Station List</source>
        <translation>Stationsliste &amp;aktualisieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Download the weather service&apos;s current station list</source>
        <translation>Die aktuelle Stationsliste des Wetterdienstes herunterladen</translation>
    </message>
</context>
<context>
    <name>ParametersDialog</name>
    <message>
        <location filename="../src/ui/ParametersDialog.cpp" line="+87"/>
        <location line="+4"/>
        <source>Autoscale</source>
        <translation>Automatisch skalieren</translation>
    </message>
    <message>
        <location line="-3"/>
        <location line="+4"/>
        <source>Show net</source>
        <translation>Gitternetz zeigen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show marks</source>
        <translation>Messpunkte zeigen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show legend</source>
        <translation>Legende zeigen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Temperature</source>
        <translation>Temperatur</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pressure</source>
        <translation>Luftdruck</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wind speed</source>
        <translation>Windgeschwindigkeit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wind direction</source>
        <translation>Windrichtung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Write meteodata to file</source>
        <translation>Wetterdaten in Datei schreiben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Time UTC</source>
        <translation>Zeit in UTC</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Metric style</source>
        <translation>Metrische Darstellung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Aviation panel</source>
        <translation>Luftfahrtangaben</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Aviation</source>
        <translation>Luftfahrt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Metric</source>
        <translation>Metrisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>US</source>
        <translation>US</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>X min:</source>
        <translation>X min:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>X delta:</source>
        <translation>X-Schritt:</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Y Axe</source>
        <translation>Y-Achse</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Y min:</source>
        <translation>Y min:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Y delta:</source>
        <translation>Y-Schritt:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>X Axe</source>
        <translation>X-Achse</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Line width:</source>
        <translation>Linienbreite:</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Show nearest:</source>
        <translation>Nächste Meldung innerhalb:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>minures</source>
        <translation>Minuten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show forecast</source>
        <translation>Vorhersage zeigen</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+3"/>
        <source>hours</source>
        <translation>Stunden</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Show past</source>
        <translation>Die letzten</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Report source:</source>
        <translation>Meldungsquelle:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Temperature:</source>
        <translation>Temperatur:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pressure:</source>
        <translation>Luftdruck:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Wind speed:</source>
        <translation>Windgeschwindigkeit:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Visibility:</source>
        <translation>Sichtweite:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Heights:</source>
        <translation>Höhen:</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Keep reports for</source>
        <translation>Meldungen aufbewahren für</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Size limit:</source>
        <translation>Höchstgröße:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>MB</source>
        <translation>MB</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <location filename="../src/ui/ChartBriefing.cpp" line="+34"/>
        <source>Newest report</source>
        <translation>Neueste Meldung</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+3"/>
        <source>Forecast</source>
        <translation>Vorhersage</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>No forecast of this station at hand.</source>
        <translation>Für diese Station liegt keine Vorhersage vor.</translation>
    </message>
    <message>
        <location line="+94"/>
        <source>The PDF could not be started.</source>
        <translation>Die PDF-Datei konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <location filename="../src/ui/ChartExport.cpp" line="+80"/>
        <location line="+22"/>
        <source>Export Chart Data</source>
        <translation>Diagrammdaten exportieren</translation>
    </message>
    <message>
        <location line="-19"/>
        <source>CSV file (*.csv)</source>
        <translation>CSV-Datei (*.csv)</translation>
    </message>
    <message numerus="yes">
        <location line="+6"/>
        <source>The range the chart shows (%n report(s))</source>
        <translation>
            <numerusform>Der im Diagramm gezeigte Zeitraum (%n Meldung)</numerusform>
            <numerusform>Der im Diagramm gezeigte Zeitraum (%n Meldungen)</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The station&apos;s whole stored history</source>
        <translation>Alle gespeicherten Meldungen der Station</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Reports:</source>
        <translation>Meldungen:</translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+6"/>
        <source>Save as PDF</source>
        <translation>Als PDF speichern</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>PDF file (*.pdf)</source>
        <translation>PDF-Datei (*.pdf)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Briefing saved as %1</source>
        <translation>Briefing gespeichert als %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/MapActions.cpp" line="+80"/>
        <source>Could not save %1: %2</source>
        <translation>%1 konnte nicht gespeichert werden: %2</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>&amp;Reports</source>
        <translation>&amp;Meldungen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Export Chart &amp;Data...</source>
        <translation>Diagrammdaten &amp;exportieren...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Save as P&amp;DF...</source>
        <translation>Als &amp;PDF speichern...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <location filename="../src/ui/MapActions.cpp" line="-16"/>
        <location line="+15"/>
        <source>Save Map Picture</source>
        <translation>Karte als Bild speichern</translation>
    </message>
    <message>
        <location line="-12"/>
        <source>PNG picture (*.png)</source>
        <translation>PNG-Bild (*.png)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>SVG drawing (*.svg)</source>
        <translation>SVG-Grafik (*.svg)</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <location filename="../src/ui/FindStationDialog.cpp" line="+30"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>ReadingText</name>
    <message>
        <location filename="../src/ui/ReadingText.cpp" line="+15"/>
        <source>Sorry, no data available for the Station:

%1.</source>
        <translation>Leider liegen für diese Station keine Daten vor:

%1.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Sorry, the weather service did not answer (timed out after %1 s).</source>
        <translation>Leider hat der Wetterdienst nicht geantwortet (Zeitüberschreitung nach %1 s).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Sorry, the weather service could not be reached (%1).</source>
        <translation>Leider war der Wetterdienst nicht erreichbar (%1).</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>The aviation weather service asked us to wait: asking again in a minute.</source>
        <translation>Der Flugwetterdienst bittet um Geduld: neue Anfrage in einer Minute.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A hundred requests this minute: waiting before asking again.</source>
        <translation>Hundert Anfragen in dieser Minute: Warten vor der nächsten Anfrage.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The aviation weather service answered: %1.</source>
        <translation>Der Flugwetterdienst antwortete: %1.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The aviation weather service&apos;s answer could not be read.</source>
        <translation>Die Antwort des Flugwetterdienstes war nicht lesbar.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 of the service&apos;s reports could not be read.</source>
        <translation>%1 Meldungen des Dienstes waren nicht lesbar.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Can not get meteodata for the station: &quot;%1&quot;</source>
        <translation>Keine Wetterdaten für die Station „%1“ erhältlich</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Get only one record from the station &quot;%1&quot;.
Therefore compelled to set the time-period to 30 mins and the time-delta UTC to 0 hours, sorry.</source>
        <translation>Von der Station „%1“ kam nur eine Meldung.
Daher werden der Zeitraum leider auf 30 Minuten und der Abstand zu UTC auf 0 Stunden gesetzt.</translation>
    </message>
</context>
<context>
    <name>StationTable</name>
    <message>
        <location filename="../src/ui/StationColumns.cpp" line="+16"/>
        <source>STATION</source>
        <translation>STATION</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>LAT</source>
        <translation>BREITE</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>LON</source>
        <translation>LÄNGE</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ELEV</source>
        <translation>HÖHE</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CY</source>
        <translation>LD</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CD</source>
        <translation>RG</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ICAO</source>
        <translation>ICAO</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>IATA</source>
        <translation>IATA</translation>
    </message>
</context>
<context>
    <name>WatchTable</name>
    <message>
        <location filename="../src/ui/WatchTableModel.cpp" line="+73"/>
        <source>Better than the report before</source>
        <translation>Besser als die Meldung davor</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The same category as the report before</source>
        <translation>Dieselbe Kategorie wie die Meldung davor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Worse than the report before</source>
        <translation>Schlechter als die Meldung davor</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No report before this one to compare with</source>
        <translation>Keine frühere Meldung zum Vergleich</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Below: %1</source>
        <translation>Unter: %1</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Below your minima: %1</source>
        <translation>Unter Ihren Minima: %1</translation>
    </message>
</context>
<context>
    <name>WatchToggle</name>
    <message>
        <location filename="../src/ui/WatchToggle.cpp" line="+12"/>
        <source>Stop Watching</source>
        <translation>Nicht mehr beobachten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Watch</source>
        <translation>Beobachten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Keep this station in the Watched stations window</source>
        <translation>Diese Station im Fenster „Beobachtete Stationen“ führen</translation>
    </message>
</context>
<context>
    <name>nimbrel::AviationPanelAction</name>
    <message>
        <location filename="../src/ui/AviationPanelAction.cpp" line="+8"/>
        <source>&amp;Aviation Panel</source>
        <translation>&amp;Luftfahrtangaben</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Show or hide the flight category, ceiling and visibility under METAR charts</source>
        <translation>Flugkategorie, Wolkenuntergrenze und Sichtweite unter METAR-Diagrammen zeigen oder ausblenden</translation>
    </message>
</context>
<context>
    <name>nimbrel::BrowserView</name>
    <message>
        <location filename="../src/ui/BrowserView.cpp" line="+51"/>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Forward</source>
        <translation>Vor</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Contents</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <location line="+34"/>
        <location line="+2"/>
        <source>Nimbrel Help</source>
        <translation>Nimbrel-Hilfe</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Nimbrel Help - %1</source>
        <translation>Nimbrel-Hilfe - %1</translation>
    </message>
</context>
<context>
    <name>nimbrel::ChartActions</name>
    <message>
        <location filename="../src/ui/ChartExport.cpp" line="-34"/>
        <source>Export Chart &amp;Data...</source>
        <translation>Diagrammdaten &amp;exportieren...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save the chart&apos;s reports as a CSV file for a spreadsheet</source>
        <translation>Die Meldungen des Diagramms als CSV-Datei für eine Tabellenkalkulation speichern</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Save as P&amp;DF...</source>
        <translation>Als &amp;PDF speichern...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save a one-page briefing: the chart, the newest report and the forecast</source>
        <translation>Ein einseitiges Briefing speichern: Diagramm, neueste Meldung und Vorhersage</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Reports</source>
        <translation>&amp;Meldungen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Show every report of the chart&apos;s period beside it</source>
        <translation>Alle Meldungen des Diagrammzeitraums daneben zeigen</translation>
    </message>
</context>
<context>
    <name>nimbrel::ChartDataExporter</name>
    <message numerus="yes">
        <location line="-81"/>
        <source>%n report(s) written to %1</source>
        <translation>
            <numerusform>%n Meldung nach %1 geschrieben</numerusform>
            <numerusform>%n Meldungen nach %1 geschrieben</numerusform>
        </translation>
    </message>
    <message>
        <location line="+17"/>
        <source>This chart&apos;s source keeps no stored reports: only the range the chart shows can be exported.</source>
        <translation>Die Quelle dieses Diagramms speichert keine Meldungen: Nur der gezeigte Zeitraum kann exportiert werden.</translation>
    </message>
</context>
<context>
    <name>nimbrel::ChartOpener</name>
    <message>
        <location filename="../src/ui/ChartOpener.cpp" line="+69"/>
        <source>Loading the reports of %1 ...</source>
        <translation>Meldungen von %1 werden geladen ...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>nimbrel::ChildWindowArea</name>
    <message>
        <location filename="../src/ui/ChildWindowArea.cpp" line="+113"/>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Cascade</source>
        <translation>&amp;Überlappend</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Arrange windows so they overlap</source>
        <translation>Fenster überlappend anordnen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Tile</source>
        <translation>&amp;Nebeneinander</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Arrange windows as non-overlapping tiles</source>
        <translation>Fenster nebeneinander anordnen, ohne Überlappung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Arrange Icons</source>
        <translation>&amp;Symbole anordnen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Arrange icons at the bottom of the window</source>
        <translation>Symbole am unteren Fensterrand anordnen</translation>
    </message>
</context>
<context>
    <name>nimbrel::DesktopNotifier</name>
    <message>
        <location filename="../src/services/DesktopNotifier.cpp" line="+63"/>
        <source>no session bus</source>
        <translation>kein Sitzungsbus</translation>
    </message>
    <message>
        <location line="+17"/>
        <location line="+40"/>
        <source>no notification service on the session bus</source>
        <translation>kein Benachrichtigungsdienst auf dem Sitzungsbus</translation>
    </message>
    <message>
        <location line="-30"/>
        <source>Desktop notifications are not available: %1</source>
        <translation>Desktop-Benachrichtigungen sind nicht verfügbar: %1</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Open Chart</source>
        <translation>Diagramm öffnen</translation>
    </message>
</context>
<context>
    <name>nimbrel::FindStationDialog</name>
    <message>
        <location filename="../src/ui/FindStationDialog.cpp" line="-16"/>
        <source>Find a station</source>
        <translation>Station suchen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Please enter a part of a name or an  ICAO code:</source>
        <translation>Bitte einen Teil des Namens oder einen ICAO-Code eingeben:</translation>
    </message>
</context>
<context>
    <name>nimbrel::GoToField</name>
    <message>
        <location filename="../src/ui/GoToField.cpp" line="+34"/>
        <source>Go to station</source>
        <translation>Gehe zu Station</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Go to a station: type its ICAO or IATA code or a part of its name</source>
        <translation>Zu einer Station gehen: ICAO- oder IATA-Code oder einen Teil des Namens eingeben</translation>
    </message>
</context>
<context>
    <name>nimbrel::MainWindow</name>
    <message>
        <location filename="../src/ui/MainWindow.cpp" line="+174"/>
        <location line="+138"/>
        <source>World Map</source>
        <translation>Weltkarte</translation>
    </message>
    <message>
        <location line="-138"/>
        <source>Show World Map</source>
        <translation>Weltkarte zeigen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Parameters</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+1"/>
        <source>Show Parameters Dialog</source>
        <translation>Parameter-Dialog zeigen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Show all stations</source>
        <translation>Alle Stationen zeigen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show all stations table</source>
        <translation>Tabelle aller Stationen zeigen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Find station</source>
        <translation>Station suchen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Watched Stations</source>
        <translation>Beobachtete Stationen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Show the watched stations</source>
        <translation>Die beobachteten Stationen zeigen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Watched stations</source>
        <translation>Beobachtete Stationen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Personal Minima...</source>
        <translation>Persönliche Minima...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Set the ceiling, visibility and wind below which a watched station is highlighted</source>
        <translation>Wolkenuntergrenze, Sicht und Wind festlegen, unter denen eine beobachtete Station hervorgehoben wird</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Print Pre&amp;view</source>
        <translation>Druck&amp;vorschau</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Close the active window</source>
        <translation>Das aktive Fenster schließen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Quit the application</source>
        <translation>Das Programm beenden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;About Nimbrel...</source>
        <translation>Ü&amp;ber Nimbrel...</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Display program information and version</source>
        <translation>Programminformationen und Version anzeigen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Open the manual</source>
        <translation>Das Handbuch öffnen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Open the manual at this window&apos;s page</source>
        <translation>Das Handbuch auf der Seite dieses Fensters öffnen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>&amp;Toolbar</source>
        <translation>&amp;Werkzeugleiste</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show or hide the toolbar</source>
        <translation>Werkzeugleiste zeigen oder ausblenden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Status Bar</source>
        <translation>&amp;Statusleiste</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Show or hide the status bar</source>
        <translation>Statusleiste zeigen oder ausblenden</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <location line="-76"/>
        <source>&amp;Help Topics</source>
        <translation>&amp;Hilfethemen</translation>
    </message>
    <message>
        <location line="+126"/>
        <source>All stations</source>
        <translation>Alle Stationen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Nearest stations</source>
        <translation>Nächstgelegene Stationen</translation>
    </message>
    <message>
        <location line="+183"/>
        <source>Can not save the list of recent stations.</source>
        <translation>Die Liste der zuletzt geöffneten Stationen kann nicht gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>nimbrel::MapActions</name>
    <message>
        <location filename="../src/ui/MapActions.cpp" line="-39"/>
        <location line="+1"/>
        <source>Mark all stations</source>
        <translation>Alle Stationen markieren</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+1"/>
        <location line="+55"/>
        <source>Current weather</source>
        <translation>Aktuelles Wetter</translation>
    </message>
    <message>
        <location line="-56"/>
        <source>Show the current weather of every station</source>
        <translation>Das aktuelle Wetter jeder Station zeigen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Colour by temperature</source>
        <translation>Nach Temperatur färben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Colour the current weather by temperature instead of flight category</source>
        <translation>Das aktuelle Wetter nach Temperatur statt nach Flugkategorie färben</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Save Map &amp;Picture...</source>
        <translation>Karte als B&amp;ild speichern...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save what the map shows as a PNG or SVG picture</source>
        <translation>Den Kartenausschnitt als PNG- oder SVG-Bild speichern</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Zoom &amp;In</source>
        <translation>&amp;Vergrößern</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Zoom in on the centre of the map</source>
        <translation>Zur Kartenmitte hin vergrößern</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zoom &amp;Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Zoom out from the centre of the map</source>
        <translation>Von der Kartenmitte aus verkleinern</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Whole World</source>
        <translation>&amp;Ganze Welt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Show the whole world</source>
        <translation>Die ganze Welt zeigen</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Current weather needs the live METAR source (Parameters, Report source)</source>
        <translation>Aktuelles Wetter braucht die Live-METAR-Quelle (Parameter, Meldungsquelle)</translation>
    </message>
</context>
<context>
    <name>nimbrel::MapFilterMenu</name>
    <message>
        <location filename="../src/ui/MapFilterMenu.cpp" line="+10"/>
        <source>Show on &amp;Map</source>
        <translation>Auf der Karte &amp;zeigen</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>VFR</source>
        <translation>VFR</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>MVFR</source>
        <translation>MVFR</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>IFR</source>
        <translation>IFR</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>LIFR</source>
        <translation>LIFR</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unknown and no report</source>
        <translation>Unbekannt und ohne Meldung</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Reports of any age</source>
        <translation>Meldungen jeden Alters</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Reports up to 1 h old</source>
        <translation>Meldungen bis 1 h alt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Reports up to 3 h old</source>
        <translation>Meldungen bis 3 h alt</translation>
    </message>
</context>
<context>
    <name>nimbrel::MinimaDialog</name>
    <message>
        <location filename="../src/ui/MinimaDialog.cpp" line="+57"/>
        <source>Personal Minima</source>
        <translation>Persönliche Minima</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A watched station&apos;s row is highlighted when its report is below one of these limits. Leave a cell empty for no limit; a station&apos;s empty cell takes the limit of &quot;All stations&quot;. A crosswind limit needs the runway&apos;s heading.</source>
        <translation>Die Zeile einer beobachteten Station wird hervorgehoben, wenn ihre Meldung eine dieser Grenzen unterschreitet. Eine leere Zelle setzt keine Grenze; die leere Zelle einer Station übernimmt die Grenze von „Alle Stationen“. Eine Seitenwindgrenze braucht die Richtung der Piste.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Station</source>
        <translation>Station</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Ceiling ft</source>
        <translation>Wolkenuntergrenze ft</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Visibility SM</source>
        <translation>Sicht SM</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Visibility m</source>
        <translation>Sicht m</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wind kt</source>
        <translation>Wind kt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Gust kt</source>
        <translation>Böen kt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Runway °</source>
        <translation>Piste °</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Crosswind kt</source>
        <translation>Seitenwind kt</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+72"/>
        <source>All stations</source>
        <translation>Alle Stationen</translation>
    </message>
    <message>
        <location line="-69"/>
        <source>Add Station</source>
        <translation>Station hinzufügen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Remove Station</source>
        <translation>Station entfernen</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>&quot;%1&quot; is not an ICAO code: four letters or digits, the first a letter.</source>
        <translation>„%1“ ist kein ICAO-Code: vier Buchstaben oder Ziffern, die erste ein Buchstabe.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 is listed twice.</source>
        <translation>%1 steht zweimal in der Liste.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>%1, %2: &quot;%3&quot; is not a number from %4 to %5.</source>
        <translation>%1, %2: „%3“ ist keine Zahl von %4 bis %5.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1: a crosswind limit needs the runway&apos;s heading.</source>
        <translation>%1: Eine Seitenwindgrenze braucht die Richtung der Piste.</translation>
    </message>
</context>
<context>
    <name>nimbrel::ParametersDialog</name>
    <message>
        <location filename="../src/ui/ParametersDialog.cpp" line="-140"/>
        <source>Parameters</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Live METAR (aviation weather service)</source>
        <translation>Live-METAR (Flugwetterdienst)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Report pages (service host)</source>
        <translation>Meldungsseiten (Dienst-Host)</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Graph</source>
        <translation>Diagramm</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Meteo</source>
        <translation>Wetter</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Units</source>
        <translation>Einheiten</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Report store</source>
        <translation>Meldungsarchiv</translation>
    </message>
</context>
<context>
    <name>nimbrel::RecentMenuSection</name>
    <message>
        <location filename="../src/ui/RecentMenuSection.cpp" line="+11"/>
        <source>Open this station</source>
        <translation>Diese Station öffnen</translation>
    </message>
</context>
<context>
    <name>nimbrel::ReportSources</name>
    <message>
        <location filename="../src/services/ReportSources.cpp" line="+120"/>
        <source>In use: %1 MB, %L2 reports of %L3 stations</source>
        <translation>Belegt: %1 MB, %L2 Meldungen von %L3 Stationen</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Report store: off. %1</source>
        <translation>Meldungsarchiv: aus. %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Report store: opening</source>
        <translation>Meldungsarchiv: wird geöffnet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Report store: not in use</source>
        <translation>Meldungsarchiv: nicht in Gebrauch</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Report store: %L1 reports of %L2 stations</source>
        <translation>Meldungsarchiv: %L1 Meldungen von %L2 Stationen</translation>
    </message>
</context>
<context>
    <name>nimbrel::ReportsList</name>
    <message>
        <location filename="../src/ui/ReportsList.cpp" line="+16"/>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Report</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
</context>
<context>
    <name>nimbrel::StationCard</name>
    <message>
        <location filename="../src/ui/StationCard.cpp" line="+47"/>
        <location line="+30"/>
        <source>Watch</source>
        <translation>Beobachten</translation>
    </message>
    <message>
        <location line="-26"/>
        <source>Chart</source>
        <translation>Diagramm</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Stop Watching</source>
        <translation>Nicht mehr beobachten</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>No forecast with this report source</source>
        <translation>Keine Vorhersage mit dieser Meldungsquelle</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Forecast: loading ...</source>
        <translation>Vorhersage: wird geladen ...</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Forecast: %1</source>
        <translation>Vorhersage: %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>not available</source>
        <translation>nicht verfügbar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No TAF for this station</source>
        <translation>Kein TAF für diese Station</translation>
    </message>
</context>
<context>
    <name>nimbrel::StationTableView</name>
    <message>
        <location filename="../src/ui/StationTableView.cpp" line="+165"/>
        <source>Open Chart</source>
        <translation>Diagramm öffnen</translation>
    </message>
</context>
<context>
    <name>nimbrel::WatchStationsView</name>
    <message>
        <location filename="../src/ui/WatchStationsView.cpp" line="+35"/>
        <source>ICAO code or name</source>
        <translation>ICAO-Code oder Name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Watch a station: type its ICAO code or a part of its name, then Enter</source>
        <translation>Eine Station beobachten: ihren ICAO-Code oder einen Teil ihres Namens eingeben, dann Enter</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Watch</source>
        <translation>Beobachten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Watch the station in the field</source>
        <translation>Die Station im Eingabefeld beobachten</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+158"/>
        <source>Personal Minima...</source>
        <translation>Persönliche Minima...</translation>
    </message>
    <message>
        <location line="-129"/>
        <source>No stations watched yet.

Type a station&apos;s ICAO code (for example EGLL) or a part of its name in the field above and press Enter, or choose &quot;Watch&quot; in the context menu of a station table or a chart, or on a station&apos;s card on the world map.

Personal Minima... sets the ceiling, visibility and wind below which a station&apos;s row is highlighted.</source>
        <translation>Noch keine Station beobachtet.

Den ICAO-Code einer Station (zum Beispiel EDDF) oder einen Teil ihres Namens oben eingeben und Enter drücken, oder „Beobachten“ im Kontextmenü einer Stationstabelle oder eines Diagramms wählen, oder auf der Karte einer Station auf der Weltkarte.

Persönliche Minima... legt Wolkenuntergrenze, Sicht und Wind fest, unter denen die Zeile einer Station hervorgehoben wird.</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>%1 has no ICAO code: it has no reports to watch.</source>
        <translation>%1 hat keinen ICAO-Code: Es gibt keine Meldungen zu beobachten.</translation>
    </message>
    <message>
        <location line="+15"/>
        <location line="+81"/>
        <source>Stop Watching</source>
        <translation>Nicht mehr beobachten</translation>
    </message>
    <message>
        <location line="-43"/>
        <source>No station %1 in the station list.</source>
        <translation>Keine Station %1 in der Stationsliste.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&quot;%1&quot; is neither an ICAO code (four letters or digits, the first a letter) nor a station&apos;s name.</source>
        <translation>„%1“ ist weder ein ICAO-Code (vier Buchstaben oder Ziffern, die erste ein Buchstabe) noch der Name einer Station.</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Open Chart</source>
        <translation>Diagramm öffnen</translation>
    </message>
</context>
<context>
    <name>nimbrel::WatchTray</name>
    <message>
        <location filename="../src/ui/WatchTray.cpp" line="+38"/>
        <source>&amp;Quiet Alerts</source>
        <translation>Hinweise &amp;pausieren</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Hold back the watched stations&apos; alerts</source>
        <translation>Die Hinweise der beobachteten Stationen zurückhalten</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Keep Running in Tray</source>
        <translation>Im &amp;Infobereich weiterlaufen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Closing the window keeps the program watching in the tray</source>
        <translation>Nach dem Schließen des Fensters beobachtet das Programm im Infobereich weiter</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Show Nimbrel</source>
        <translation>Nimbrel &amp;zeigen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Keep Running in Tray does nothing here: the desktop has no system tray</source>
        <translation>„Im Infobereich weiterlaufen“ wirkt hier nicht: Der Desktop hat keinen Infobereich</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Nimbrel: no watched stations</source>
        <translation>Nimbrel: keine beobachteten Stationen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Nimbrel: no flight category at the watched stations</source>
        <translation>Nimbrel: keine Flugwetterkategorie bei den beobachteten Stationen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Nimbrel: %1 at %2</source>
        <translation>Nimbrel: %1 bei %2</translation>
    </message>
</context>
<context>
    <name>nimbrel::WorldMapView</name>
    <message>
        <location filename="../src/ui/WorldMapView.cpp" line="+322"/>
        <location line="+6"/>
        <source>The file could not be written.</source>
        <translation>Die Datei konnte nicht geschrieben werden.</translation>
    </message>
</context>
</TS>
