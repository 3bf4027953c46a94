<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AboutBox</name>
    <message>
        <location filename="../src/ui/Application.cpp" line="+161"/>
        <source>About Nimbrel</source>
        <translation>À propos de Nimbrel</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Nimbrel Version %1</source>
        <translation>Nimbrel version %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Free software under the MIT License.&lt;br&gt;Weather reports and forecasts: the aviation weather service (&lt;a href=&quot;https://aviationweather.gov&quot;&gt;aviationweather.gov&lt;/a&gt;).&lt;br&gt;Map data: &lt;a href=&quot;https://www.naturalearthdata.com&quot;&gt;Natural Earth&lt;/a&gt; (public domain).&lt;br&gt;&lt;a href=&quot;manual&quot;&gt;Nimbrel Help&lt;/a&gt;</source>
        <translation>Logiciel libre sous licence MIT.&lt;br&gt;Messages et prévisions météo : le service de météorologie aéronautique (&lt;a href=&quot;https://aviationweather.gov&quot;&gt;aviationweather.gov&lt;/a&gt;).&lt;br&gt;Données cartographiques : &lt;a href=&quot;https://www.naturalearthdata.com&quot;&gt;Natural Earth&lt;/a&gt; (domaine public).&lt;br&gt;&lt;a href=&quot;manual&quot;&gt;Aide de Nimbrel&lt;/a&gt;</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../src/ui/ChildView.h" line="+17"/>
        <location filename="../src/ui/FrameParts.cpp" line="+15"/>
        <source>Ready</source>
        <translation>Prêt</translation>
    </message>
    <message>
        <location filename="../src/ui/FrameParts.cpp" line="+11"/>
        <source>Store off</source>
        <translation>Archive désactivée</translation>
    </message>
    <message>
        <location filename="../src/ui/UpdateStationListAction.cpp" line="+27"/>
        <source>&amp;Update Station List</source>
        <translation>&amp;Mettre à jour la liste des stations</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Download the weather service&apos;s current station list</source>
        <translation>Télécharger la liste actuelle des stations du service météo</translation>
    </message>
</context>
<context>
    <name>ParametersDialog</name>
    <message>
        <location filename="../src/ui/ParametersDialog.cpp" line="+87"/>
        <location line="+4"/>
        <source>Autoscale</source>
        <translation>Échelle automatique</translation>
    </message>
    <message>
        <location line="-3"/>
        <location line="+4"/>
        <source>Show net</source>
        <translation>Afficher la grille</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show marks</source>
        <translation>Afficher les points</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show legend</source>
        <translation>Afficher la légende</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Temperature</source>
        <translation>Température</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pressure</source>
        <translation>Pression</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wind speed</source>
        <translation>Vitesse du vent</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wind direction</source>
        <translation>Direction du vent</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Write meteodata to file</source>
        <translation>Écrire les données météo dans un fichier</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Time UTC</source>
        <translation>Heure UTC</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Metric style</source>
        <translation>Présentation métrique</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Aviation panel</source>
        <translation>Panneau aviation</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Aviation</source>
        <translation>Aviation</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Metric</source>
        <translation>Métrique</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>US</source>
        <translation>US</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>X min:</source>
        <translation>X min&#xa0;:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>X delta:</source>
        <translation>Pas X&#xa0;:</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Y Axe</source>
        <translation>Axe Y</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Y min:</source>
        <translation>Y min&#xa0;:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Y delta:</source>
        <translation>Pas Y&#xa0;:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>X Axe</source>
        <translation>Axe X</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Line width:</source>
        <translation>Épaisseur du trait&#xa0;:</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Show nearest:</source>
        <translation>Observation la plus proche sous&#xa0;:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>minures</source>
        <translation>minutes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show forecast</source>
        <translation>Afficher la prévision</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+3"/>
        <source>hours</source>
        <translation>heures</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Show past</source>
        <translation>Afficher les dernières</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Report source:</source>
        <translation>Source des messages&#xa0;:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Temperature:</source>
        <translation>Température&#xa0;:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pressure:</source>
        <translation>Pression&#xa0;:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Wind speed:</source>
        <translation>Vitesse du vent&#xa0;:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Visibility:</source>
        <translation>Visibilité&#xa0;:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Heights:</source>
        <translation>Hauteurs&#xa0;:</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Keep reports for</source>
        <translation>Conserver les messages pendant</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>days</source>
        <translation>jours</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Size limit:</source>
        <translation>Taille maximale&#xa0;:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>MB</source>
        <translation>Mo</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <location filename="../src/ui/ChartBriefing.cpp" line="+34"/>
        <source>Newest report</source>
        <translation>Dernier message</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+3"/>
        <source>Forecast</source>
        <translation>Prévision</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>No forecast of this station at hand.</source>
        <translation>Aucune prévision disponible pour cette station.</translation>
    </message>
    <message>
        <location line="+94"/>
        <source>The PDF could not be started.</source>
        <translation>Impossible de créer le fichier PDF.</translation>
    </message>
    <message>
        <location filename="../src/ui/ChartExport.cpp" line="+80"/>
        <location line="+22"/>
        <source>Export Chart Data</source>
        <translation>Exporter les données du graphique</translation>
    </message>
    <message>
        <location line="-19"/>
        <source>CSV file (*.csv)</source>
        <translation>Fichier CSV (*.csv)</translation>
    </message>
    <message numerus="yes">
        <location line="+6"/>
        <source>The range the chart shows (%n report(s))</source>
        <translation>
            <numerusform>La période affichée par le graphique (%n message)</numerusform>
            <numerusform>La période affichée par le graphique (%n messages)</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The station&apos;s whole stored history</source>
        <translation>Tout l’historique enregistré de la station</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Reports:</source>
        <translation>Messages&#xa0;:</translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+6"/>
        <source>Save as PDF</source>
        <translation>Enregistrer en PDF</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>PDF file (*.pdf)</source>
        <translation>Fichier PDF (*.pdf)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Briefing saved as %1</source>
        <translation>Dossier météo enregistré sous %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/MapActions.cpp" line="+80"/>
        <source>Could not save %1: %2</source>
        <translation>Impossible d’enregistrer %1&#xa0;: %2</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>&amp;Reports</source>
        <translation>&amp;Messages</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Export Chart &amp;Data...</source>
        <translation>Exporter les &amp;données du graphique...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Save as P&amp;DF...</source>
        <translation>Enregistrer en &amp;PDF...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Print...</source>
        <translation>&amp;Imprimer...</translation>
    </message>
    <message>
        <location filename="../src/ui/MapActions.cpp" line="-16"/>
        <location line="+15"/>
        <source>Save Map Picture</source>
        <translation>Enregistrer l’image de la carte</translation>
    </message>
    <message>
        <location line="-12"/>
        <source>PNG picture (*.png)</source>
        <translation>Image PNG (*.png)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>SVG drawing (*.svg)</source>
        <translation>Dessin SVG (*.svg)</translation>
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
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>ReadingText</name>
    <message>
        <location filename="../src/ui/ReadingText.cpp" line="+15"/>
        <source>Sorry, no data available for the Station:

%1.</source>
        <translation>Désolé, aucune donnée disponible pour la station&#xa0;:

%1.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Sorry, the weather service did not answer (timed out after %1 s).</source>
        <translation>Désolé, le service météo n’a pas répondu (délai dépassé après %1 s).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Sorry, the weather service could not be reached (%1).</source>
        <translation>Désolé, le service météo est injoignable (%1).</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>The aviation weather service asked us to wait: asking again in a minute.</source>
        <translation>Le service météo aéronautique demande de patienter&#xa0;: nouvelle demande dans une minute.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A hundred requests this minute: waiting before asking again.</source>
        <translation>Cent demandes cette minute&#xa0;: attente avant la prochaine demande.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The aviation weather service answered: %1.</source>
        <translation>Réponse du service météo aéronautique&#xa0;: %1.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The aviation weather service&apos;s answer could not be read.</source>
        <translation>La réponse du service météo aéronautique est illisible.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 of the service&apos;s reports could not be read.</source>
        <translation>%1 messages du service sont illisibles.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Can not get meteodata for the station: &quot;%1&quot;</source>
        <translation>Impossible d’obtenir les données météo de la station «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Get only one record from the station &quot;%1&quot;.
Therefore compelled to set the time-period to 30 mins and the time-delta UTC to 0 hours, sorry.</source>
        <translation>Un seul message reçu de la station «&#xa0;%1&#xa0;».
La période est donc ramenée à 30 minutes et le décalage UTC à 0 heure, désolé.</translation>
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
        <translation>LAT</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>LON</source>
        <translation>LON</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ELEV</source>
        <translation>ALT</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CY</source>
        <translation>PAYS</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CD</source>
        <translation>RG</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ICAO</source>
        <translation>OACI</translation>
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
        <translation>Meilleur que le message précédent</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The same category as the report before</source>
        <translation>Même catégorie que le message précédent</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Worse than the report before</source>
        <translation>Pire que le message précédent</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No report before this one to compare with</source>
        <translation>Aucun message précédent pour comparer</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Below: %1</source>
        <translation>Sous : %1</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Below your minima: %1</source>
        <translation>Sous vos minimums : %1</translation>
    </message>
</context>
<context>
    <name>WatchToggle</name>
    <message>
        <location filename="../src/ui/WatchToggle.cpp" line="+12"/>
        <source>Stop Watching</source>
        <translation>Ne plus surveiller</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Watch</source>
        <translation>Surveiller</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Keep this station in the Watched stations window</source>
        <translation>Garder cette station dans la fenêtre Stations surveillées</translation>
    </message>
</context>
<context>
    <name>nimbrel::AviationPanelAction</name>
    <message>
        <location filename="../src/ui/AviationPanelAction.cpp" line="+8"/>
        <source>&amp;Aviation Panel</source>
        <translation>&amp;Panneau aviation</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Show or hide the flight category, ceiling and visibility under METAR charts</source>
        <translation>Afficher ou masquer la catégorie de vol, le plafond et la visibilité sous les graphiques METAR</translation>
    </message>
</context>
<context>
    <name>nimbrel::BrowserView</name>
    <message>
        <location filename="../src/ui/BrowserView.cpp" line="+51"/>
        <source>Back</source>
        <translation>Précédent</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Forward</source>
        <translation>Suivant</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Contents</source>
        <translation>Sommaire</translation>
    </message>
    <message>
        <location line="+34"/>
        <location line="+2"/>
        <source>Nimbrel Help</source>
        <translation>Aide de Nimbrel</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Nimbrel Help - %1</source>
        <translation>Aide de Nimbrel - %1</translation>
    </message>
</context>
<context>
    <name>nimbrel::ChartActions</name>
    <message>
        <location filename="../src/ui/ChartExport.cpp" line="-34"/>
        <source>Export Chart &amp;Data...</source>
        <translation>Exporter les &amp;données du graphique...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save the chart&apos;s reports as a CSV file for a spreadsheet</source>
        <translation>Enregistrer les messages du graphique dans un fichier CSV pour un tableur</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Save as P&amp;DF...</source>
        <translation>Enregistrer en &amp;PDF...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save a one-page briefing: the chart, the newest report and the forecast</source>
        <translation>Enregistrer un dossier météo d’une page&#xa0;: le graphique, le dernier message et la prévision</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Reports</source>
        <translation>&amp;Messages</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Show every report of the chart&apos;s period beside it</source>
        <translation>Afficher à côté tous les messages de la période du graphique</translation>
    </message>
</context>
<context>
    <name>nimbrel::ChartDataExporter</name>
    <message numerus="yes">
        <location line="-81"/>
        <source>%n report(s) written to %1</source>
        <translation>
            <numerusform>%n message écrit dans %1</numerusform>
            <numerusform>%n messages écrits dans %1</numerusform>
        </translation>
    </message>
    <message>
        <location line="+17"/>
        <source>This chart&apos;s source keeps no stored reports: only the range the chart shows can be exported.</source>
        <translation>La source de ce graphique ne conserve aucun message&#xa0;: seule la période affichée peut être exportée.</translation>
    </message>
</context>
<context>
    <name>nimbrel::ChartOpener</name>
    <message>
        <location filename="../src/ui/ChartOpener.cpp" line="+69"/>
        <source>Loading the reports of %1 ...</source>
        <translation>Chargement des messages de %1 ...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>nimbrel::ChildWindowArea</name>
    <message>
        <location filename="../src/ui/ChildWindowArea.cpp" line="+113"/>
        <source>&amp;Window</source>
        <translation>Fe&amp;nêtre</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Cascade</source>
        <translation>&amp;Cascade</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Arrange windows so they overlap</source>
        <translation>Disposer les fenêtres en cascade</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Tile</source>
        <translation>&amp;Mosaïque</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Arrange windows as non-overlapping tiles</source>
        <translation>Disposer les fenêtres en mosaïque, sans chevauchement</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Arrange Icons</source>
        <translation>&amp;Réorganiser les icônes</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Arrange icons at the bottom of the window</source>
        <translation>Aligner les icônes en bas de la fenêtre</translation>
    </message>
</context>
<context>
    <name>nimbrel::DesktopNotifier</name>
    <message>
        <location filename="../src/services/DesktopNotifier.cpp" line="+63"/>
        <source>no session bus</source>
        <translation>pas de bus de session</translation>
    </message>
    <message>
        <location line="+17"/>
        <location line="+40"/>
        <source>no notification service on the session bus</source>
        <translation>aucun service de notification sur le bus de session</translation>
    </message>
    <message>
        <location line="-30"/>
        <source>Desktop notifications are not available: %1</source>
        <translation>Les notifications du bureau ne sont pas disponibles : %1</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Open Chart</source>
        <translation>Ouvrir le graphique</translation>
    </message>
</context>
<context>
    <name>nimbrel::FindStationDialog</name>
    <message>
        <location filename="../src/ui/FindStationDialog.cpp" line="-16"/>
        <source>Find a station</source>
        <translation>Rechercher une station</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Please enter a part of a name or an  ICAO code:</source>
        <translation>Saisissez une partie du nom ou un code OACI&#xa0;:</translation>
    </message>
</context>
<context>
    <name>nimbrel::GoToField</name>
    <message>
        <location filename="../src/ui/GoToField.cpp" line="+34"/>
        <source>Go to station</source>
        <translation>Aller à la station</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Go to a station: type its ICAO or IATA code or a part of its name</source>
        <translation>Aller à une station&#xa0;: saisissez son code OACI ou IATA ou une partie de son nom</translation>
    </message>
</context>
<context>
    <name>nimbrel::MainWindow</name>
    <message>
        <location filename="../src/ui/MainWindow.cpp" line="+174"/>
        <location line="+138"/>
        <source>World Map</source>
        <translation>Carte du monde</translation>
    </message>
    <message>
        <location line="-138"/>
        <source>Show World Map</source>
        <translation>Afficher la carte du monde</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Parameters</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+1"/>
        <source>Show Parameters Dialog</source>
        <translation>Afficher la boîte de dialogue des paramètres</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Show all stations</source>
        <translation>Afficher toutes les stations</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show all stations table</source>
        <translation>Afficher le tableau de toutes les stations</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Find station</source>
        <translation>Rechercher une station</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Watched Stations</source>
        <translation>Stations surveillées</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Show the watched stations</source>
        <translation>Afficher les stations surveillées</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Watched stations</source>
        <translation>Stations surveillées</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Personal Minima...</source>
        <translation>Minimums personnels...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Set the ceiling, visibility and wind below which a watched station is highlighted</source>
        <translation>Régler le plafond, la visibilité et le vent au-delà desquels une station surveillée est mise en évidence</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>&amp;New</source>
        <translation>&amp;Nouveau</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Print...</source>
        <translation>&amp;Imprimer...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Print Pre&amp;view</source>
        <translation>&amp;Aperçu avant impression</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Close</source>
        <translation>&amp;Fermer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Close the active window</source>
        <translation>Fermer la fenêtre active</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Quit the application</source>
        <translation>Quitter l’application</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;About Nimbrel...</source>
        <translation>À &amp;propos de Nimbrel...</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Display program information and version</source>
        <translation>Afficher les informations et la version du programme</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Open the manual</source>
        <translation>Ouvrir le manuel</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Open the manual at this window&apos;s page</source>
        <translation>Ouvrir le manuel à la page de cette fenêtre</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Toolbar</source>
        <translation>Barre d’outils</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>&amp;Toolbar</source>
        <translation>&amp;Barre d’outils</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show or hide the toolbar</source>
        <translation>Afficher ou masquer la barre d’outils</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Status Bar</source>
        <translation>Barre d’é&amp;tat</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Show or hide the status bar</source>
        <translation>Afficher ou masquer la barre d’état</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;View</source>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>&amp;Help</source>
        <translation>Ai&amp;de</translation>
    </message>
    <message>
        <location line="-76"/>
        <source>&amp;Help Topics</source>
        <translation>&amp;Rubriques d’aide</translation>
    </message>
    <message>
        <location line="+126"/>
        <source>All stations</source>
        <translation>Toutes les stations</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Nearest stations</source>
        <translation>Stations les plus proches</translation>
    </message>
    <message>
        <location line="+183"/>
        <source>Can not save the list of recent stations.</source>
        <translation>Impossible d’enregistrer la liste des stations récentes.</translation>
    </message>
</context>
<context>
    <name>nimbrel::MapActions</name>
    <message>
        <location filename="../src/ui/MapActions.cpp" line="-39"/>
        <location line="+1"/>
        <source>Mark all stations</source>
        <translation>Marquer toutes les stations</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+1"/>
        <location line="+55"/>
        <source>Current weather</source>
        <translation>Temps présent</translation>
    </message>
    <message>
        <location line="-56"/>
        <source>Show the current weather of every station</source>
        <translation>Afficher le temps présent de chaque station</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Colour by temperature</source>
        <translation>Colorer selon la température</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Colour the current weather by temperature instead of flight category</source>
        <translation>Colorer le temps présent selon la température plutôt que la catégorie de vol</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Save Map &amp;Picture...</source>
        <translation>Enregistrer l’image de la &amp;carte...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save what the map shows as a PNG or SVG picture</source>
        <translation>Enregistrer ce que montre la carte en image PNG ou SVG</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Zoom &amp;In</source>
        <translation>Zoom &amp;avant</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Zoom in on the centre of the map</source>
        <translation>Zoomer sur le centre de la carte</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zoom &amp;Out</source>
        <translation>Zoom a&amp;rrière</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Zoom out from the centre of the map</source>
        <translation>Dézoomer depuis le centre de la carte</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Whole World</source>
        <translation>Monde &amp;entier</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Show the whole world</source>
        <translation>Afficher le monde entier</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Current weather needs the live METAR source (Parameters, Report source)</source>
        <translation>Le temps présent nécessite la source METAR en direct (Paramètres, Source des messages)</translation>
    </message>
</context>
<context>
    <name>nimbrel::MapFilterMenu</name>
    <message>
        <location filename="../src/ui/MapFilterMenu.cpp" line="+10"/>
        <source>Show on &amp;Map</source>
        <translation>Afficher sur la &amp;carte</translation>
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
        <translation>Inconnue et sans message</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Reports of any age</source>
        <translation>Messages de tout âge</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Reports up to 1 h old</source>
        <translation>Messages de moins d’1 h</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Reports up to 3 h old</source>
        <translation>Messages de moins de 3 h</translation>
    </message>
</context>
<context>
    <name>nimbrel::MinimaDialog</name>
    <message>
        <location filename="../src/ui/MinimaDialog.cpp" line="+57"/>
        <source>Personal Minima</source>
        <translation>Minimums personnels</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A watched station&apos;s row is highlighted when its report is below one of these limits. Leave a cell empty for no limit; a station&apos;s empty cell takes the limit of &quot;All stations&quot;. A crosswind limit needs the runway&apos;s heading.</source>
        <translation>La ligne d’une station surveillée est mise en évidence quand son message passe au-delà d’une de ces limites. Une case vide ne fixe pas de limite ; la case vide d’une station reprend la limite de « Toutes les stations ». Une limite de vent de travers demande l’orientation de la piste.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Station</source>
        <translation>Station</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Ceiling ft</source>
        <translation>Plafond ft</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Visibility SM</source>
        <translation>Visibilité SM</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Visibility m</source>
        <translation>Visibilité m</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wind kt</source>
        <translation>Vent kt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Gust kt</source>
        <translation>Rafales kt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Runway °</source>
        <translation>Piste °</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Crosswind kt</source>
        <translation>Vent de travers kt</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+72"/>
        <source>All stations</source>
        <translation>Toutes les stations</translation>
    </message>
    <message>
        <location line="-69"/>
        <source>Add Station</source>
        <translation>Ajouter une station</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Remove Station</source>
        <translation>Retirer la station</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>&quot;%1&quot; is not an ICAO code: four letters or digits, the first a letter.</source>
        <translation>« %1 » n’est pas un code OACI : quatre lettres ou chiffres, le premier une lettre.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 is listed twice.</source>
        <translation>%1 figure deux fois dans la liste.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>%1, %2: &quot;%3&quot; is not a number from %4 to %5.</source>
        <translation>%1, %2 : « %3 » n’est pas un nombre de %4 à %5.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1: a crosswind limit needs the runway&apos;s heading.</source>
        <translation>%1 : une limite de vent de travers demande l’orientation de la piste.</translation>
    </message>
</context>
<context>
    <name>nimbrel::ParametersDialog</name>
    <message>
        <location filename="../src/ui/ParametersDialog.cpp" line="-140"/>
        <source>Parameters</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Live METAR (aviation weather service)</source>
        <translation>METAR en direct (service météo aéronautique)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Report pages (service host)</source>
        <translation>Pages de messages (hôte du service)</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Graph</source>
        <translation>Graphique</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Meteo</source>
        <translation>Météo</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Units</source>
        <translation>Unités</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Report store</source>
        <translation>Archive des messages</translation>
    </message>
</context>
<context>
    <name>nimbrel::RecentMenuSection</name>
    <message>
        <location filename="../src/ui/RecentMenuSection.cpp" line="+11"/>
        <source>Open this station</source>
        <translation>Ouvrir cette station</translation>
    </message>
</context>
<context>
    <name>nimbrel::ReportSources</name>
    <message>
        <location filename="../src/services/ReportSources.cpp" line="+120"/>
        <source>In use: %1 MB, %L2 reports of %L3 stations</source>
        <translation>Occupé&#xa0;: %1 Mo, %L2 messages de %L3 stations</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Report store: off. %1</source>
        <translation>Archive des messages&#xa0;: désactivée. %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Report store: opening</source>
        <translation>Archive des messages&#xa0;: ouverture</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Report store: not in use</source>
        <translation>Archive des messages&#xa0;: inutilisée</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Report store: %L1 reports of %L2 stations</source>
        <translation>Archive des messages&#xa0;: %L1 messages de %L2 stations</translation>
    </message>
</context>
<context>
    <name>nimbrel::ReportsList</name>
    <message>
        <location filename="../src/ui/ReportsList.cpp" line="+16"/>
        <source>Time</source>
        <translation>Heure</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Report</source>
        <translation>Message</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>&amp;Copy</source>
        <translation>&amp;Copier</translation>
    </message>
</context>
<context>
    <name>nimbrel::StationCard</name>
    <message>
        <location filename="../src/ui/StationCard.cpp" line="+47"/>
        <location line="+30"/>
        <source>Watch</source>
        <translation>Surveiller</translation>
    </message>
    <message>
        <location line="-26"/>
        <source>Chart</source>
        <translation>Graphique</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Stop Watching</source>
        <translation>Ne plus surveiller</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>No forecast with this report source</source>
        <translation>Pas de prévision avec cette source de messages</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Forecast: loading ...</source>
        <translation>Prévision&#xa0;: chargement ...</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Forecast: %1</source>
        <translation>Prévision&#xa0;: %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>not available</source>
        <translation>indisponible</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No TAF for this station</source>
        <translation>Pas de TAF pour cette station</translation>
    </message>
</context>
<context>
    <name>nimbrel::StationTableView</name>
    <message>
        <location filename="../src/ui/StationTableView.cpp" line="+165"/>
        <source>Open Chart</source>
        <translation>Ouvrir le graphique</translation>
    </message>
</context>
<context>
    <name>nimbrel::WatchStationsView</name>
    <message>
        <location filename="../src/ui/WatchStationsView.cpp" line="+35"/>
        <source>ICAO code or name</source>
        <translation>Code OACI ou nom</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Watch a station: type its ICAO code or a part of its name, then Enter</source>
        <translation>Surveiller une station : tapez son code OACI ou une partie de son nom, puis Entrée</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Watch</source>
        <translation>Surveiller</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Watch the station in the field</source>
        <translation>Surveiller la station du champ</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+158"/>
        <source>Personal Minima...</source>
        <translation>Minimums personnels...</translation>
    </message>
    <message>
        <location line="-129"/>
        <source>No stations watched yet.

Type a station&apos;s ICAO code (for example EGLL) or a part of its name in the field above and press Enter, or choose &quot;Watch&quot; in the context menu of a station table or a chart, or on a station&apos;s card on the world map.

Personal Minima... sets the ceiling, visibility and wind below which a station&apos;s row is highlighted.</source>
        <translation>Aucune station surveillée pour l’instant.

Tapez le code OACI d’une station (par exemple LFPG) ou une partie de son nom dans le champ ci-dessus puis Entrée, ou choisissez « Surveiller » dans le menu contextuel d’un tableau de stations ou d’un graphique, ou sur la fiche d’une station de la carte du monde.

Minimums personnels... règle le plafond, la visibilité et le vent au-delà desquels la ligne d’une station est mise en évidence.</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>%1 has no ICAO code: it has no reports to watch.</source>
        <translation>%1 n’a pas de code OACI : il n’y a pas de message à surveiller.</translation>
    </message>
    <message>
        <location line="+15"/>
        <location line="+81"/>
        <source>Stop Watching</source>
        <translation>Ne plus surveiller</translation>
    </message>
    <message>
        <location line="-43"/>
        <source>No station %1 in the station list.</source>
        <translation>Aucune station %1 dans la liste des stations.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&quot;%1&quot; is neither an ICAO code (four letters or digits, the first a letter) nor a station&apos;s name.</source>
        <translation>« %1 » n’est ni un code OACI (quatre lettres ou chiffres, le premier une lettre) ni le nom d’une station.</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Open Chart</source>
        <translation>Ouvrir le graphique</translation>
    </message>
</context>
<context>
    <name>nimbrel::WatchTray</name>
    <message>
        <location filename="../src/ui/WatchTray.cpp" line="+38"/>
        <source>&amp;Quiet Alerts</source>
        <translation>Alertes en &amp;sourdine</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Hold back the watched stations&apos; alerts</source>
        <translation>Retenir les alertes des stations surveillées</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Keep Running in Tray</source>
        <translation>Rester dans la &amp;zone de notification</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Closing the window keeps the program watching in the tray</source>
        <translation>Après la fermeture de la fenêtre, le programme continue de surveiller depuis la zone de notification</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Show Nimbrel</source>
        <translation>&amp;Afficher Nimbrel</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Keep Running in Tray does nothing here: the desktop has no system tray</source>
        <translation>« Rester dans la zone de notification » est sans effet ici : le bureau n’a pas de zone de notification</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Nimbrel: no watched stations</source>
        <translation>Nimbrel : aucune station surveillée</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Nimbrel: no flight category at the watched stations</source>
        <translation>Nimbrel : aucune catégorie de vol aux stations surveillées</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Nimbrel: %1 at %2</source>
        <translation>Nimbrel : %1 à %2</translation>
    </message>
</context>
<context>
    <name>nimbrel::WorldMapView</name>
    <message>
        <location filename="../src/ui/WorldMapView.cpp" line="+322"/>
        <location line="+6"/>
        <source>The file could not be written.</source>
        <translation>Impossible d’écrire le fichier.</translation>
    </message>
</context>
</TS>
