// The German and French translations: every text of the code translated,
// none left over, placeholders and accelerators kept; and the program in
// those languages (and in English, unchanged) as a user starts it.
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <map>
#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "ui/Application.h"
#include "ui/ParametersDialog.h"
#include "ui/StationTableModel.h"
#include "ui/WorldMapView.h"

namespace nimbrel::test {
namespace {

const char* const kLanguages[] = {"de", "fr"};

struct Entry {
  QString context;
  QString source;
  QString type;                // "", "unfinished", "obsolete", "vanished"
  QStringList translations;    // one, or one per plural form
  bool numerus = false;
};

std::vector<Entry> ReadTs(const QString& path) {
  std::vector<Entry> entries;
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  QXmlStreamReader xml(&file);
  QString context;
  Entry entry;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const auto name = xml.name();
    if (name == u"name") {
      context = xml.readElementText();
    } else if (name == u"message") {
      entry = Entry{context, {}, {}, {}, xml.attributes().value(QLatin1String("numerus")) == u"yes"};
    } else if (name == u"source") {
      entry.source = xml.readElementText();
    } else if (name == u"translation") {
      entry.type = xml.attributes().value(QLatin1String("type")).toString();
      if (entry.numerus) {
        while (xml.readNextStartElement()) entry.translations << xml.readElementText();
      } else {
        entry.translations << xml.readElementText();
      }
      entries.push_back(entry);
    }
  }
  EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
  return entries;
}

// The %1, %L2, %n ... of a text, which its translation must keep.
QStringList Placeholders(const QString& text) {
  static const QRegularExpression marker(QStringLiteral("%L?(\\d+|n)"));
  QStringList found;
  for (const QRegularExpressionMatch& m : marker.globalMatch(text)) found << m.captured(0);
  found.sort();
  return found;
}

int Mnemonics(const QString& text) { return text.count(QLatin1Char('&')) - 2 * text.count(QStringLiteral("&&")); }

// The files in the repository, or, where lupdate is at hand, copies brought
// up to date with the code: a text added to the code without a translation
// comes in unfinished, one gone from it stays as vanished.
class TranslationFiles : public ::testing::Test {
 protected:
  QString PathOf(const char* language) {
    const QString name = QStringLiteral("nimbrel_%1.ts").arg(QLatin1String(language));
    const QString inRepository = QStringLiteral(NIMBREL_SOURCE_DIR "/translations/") + name;
    if (QStringLiteral(NIMBREL_LUPDATE).isEmpty()) return inRepository;
    const QString copy = folder.filePath(name);
    QFile::remove(copy);
    EXPECT_TRUE(QFile::copy(inRepository, copy));
    QProcess lupdate;
    lupdate.start(QStringLiteral(NIMBREL_LUPDATE), {QStringLiteral("-silent"), QStringLiteral("-locations"),
                                                    QStringLiteral("none"), QStringLiteral(NIMBREL_SOURCE_DIR "/src"),
                                                    QStringLiteral("-ts"), copy});
    EXPECT_TRUE(lupdate.waitForFinished(60000));
    EXPECT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    return copy;
  }
  QTemporaryDir folder;
};

TEST_F(TranslationFiles, EveryTextOfTheCodeIsTranslatedWithItsPlaceholdersAndOneAccelerator) {
  for (const char* language : kLanguages) {
    SCOPED_TRACE(language);
    const std::vector<Entry> entries = ReadTs(PathOf(language));
    EXPECT_GT(entries.size(), 150u) << "the menus, dialogs and messages";
    for (const Entry& e : entries) {
      const std::string where = e.context.toStdString() + ": \"" + e.source.toStdString() + "\"";
      EXPECT_EQ(e.type, QString()) << where << (e.type == u"unfinished" ? " waits for a translation (scripts/translations)"
                                                                         : " is gone from the code");
      ASSERT_EQ(e.translations.size(), e.numerus ? 2 : 1) << where << ": German and French have two plural forms";
      for (const QString& translation : e.translations) {
        EXPECT_FALSE(translation.isEmpty()) << where;
        EXPECT_EQ(Placeholders(translation), Placeholders(e.source)) << where << " -> " << translation.toStdString();
        EXPECT_EQ(Mnemonics(translation), Mnemonics(e.source)) << where << " -> " << translation.toStdString();
        EXPECT_EQ(translation.endsWith(QStringLiteral("...")), e.source.endsWith(QStringLiteral("...")))
            << where << " -> " << translation.toStdString();
      }
    }
  }
}

struct Language {
  const char* locale;
  bool translated;
  QStringList menus;  // File, View, Window, Help
  QString parametersTitle;
  QString timeUtcBox;
  QString latitudeColumn;
  QString mapTitle;
  QString ready;  // the status bar's
};

void PrintTo(const Language& language, std::ostream* out) { *out << language.locale; }

class TranslatedWindow : public MainWindowFixture, public ::testing::WithParamInterface<Language> {
 protected:
  void TearDown() override {
    MainWindowFixture::TearDown();
    installTranslations(QLocale(QLocale::English, QLocale::UnitedStates));
  }
};

// Menu letters that more than one entry of one of the program's menus
// claims (Qt's own menus, such as a child window's system menu, are Qt's).
QStringList AcceleratorClashes(const QWidget* menu) {
  QStringList clashes;
  std::map<QString, QString> taken;
  for (QAction* action : menu->actions()) {
    if (action->menu() != nullptr) clashes << AcceleratorClashes(action->menu());
    const QString key = QKeySequence::mnemonic(action->text()).toString().toLower();
    if (key.isEmpty()) continue;
    if (taken.count(key)) clashes << taken[key] + QStringLiteral(" / ") + action->text();
    taken[key] = action->text();
  }
  return clashes;
}

// A user whose desktop speaks German or French gets the program in that
// language, from the same function the program starts with; English and
// the C locale keep the program's own texts.
TEST_P(TranslatedWindow, MenusDialogsAndTablesSpeakTheLocalesLanguage) {
  const Language& language = GetParam();
  EXPECT_EQ(installTranslations(QLocale(QString::fromLatin1(language.locale))), language.translated);
  WriteStations({StationLine("ZURICH-KLOTEN", "LSZH", 8.55, 47.46)});
  StartWindow();  // a world map: its menus, the Window menu among them

  QStringList menus;
  for (QAction* menu : Frame()->menuBar()->actions()) menus << menu->text();
  EXPECT_EQ(menus, language.menus);
  ASSERT_NE(LastView<WorldMapView>(), nullptr);
  EXPECT_EQ(TitleOf(LastView<WorldMapView>()), language.mapTitle);
  EXPECT_EQ(StatusText(window), language.ready);
  if (language.translated) {
    EXPECT_EQ(AcceleratorClashes(Frame()->menuBar()), QStringList());
  }

  QString title, timeUtc;
  ModalWatch<ParametersDialog> parameters([&](ParametersDialog* dialog) {
    title = dialog->windowTitle();
    timeUtc = dialog->findChild<QCheckBox*>(QStringLiteral("timeUtc"))->text();
    dialog->reject();
  });
  ActionOf(Frame(), "parametersAction")->trigger();
  ASSERT_TRUE(parameters.seen());
  EXPECT_EQ(title, language.parametersTitle);
  EXPECT_EQ(timeUtc, language.timeUtcBox);

  // The column names come from a table of the code rather than a tr() call.
  const StationTableModel table(std::make_shared<const StationList>());
  EXPECT_EQ(table.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), language.latitudeColumn);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, TranslatedWindow,
    ::testing::Values(
        Language{"de_DE", true, {"&Datei", "&Ansicht", "&Fenster", "&Hilfe"}, "Parameter", "Zeit in UTC", "BREITE", "Weltkarte", "Bereit"},
        Language{"fr_FR", true, {"&Fichier", "&Affichage", "Fe&nêtre", "Ai&de"}, "Paramètres", "Heure UTC", "LAT", "Carte du monde", "Prêt"},
        Language{"de_AT", true, {"&Datei", "&Ansicht", "&Fenster", "&Hilfe"}, "Parameter", "Zeit in UTC", "BREITE", "Weltkarte", "Bereit"},
        Language{"en_US", false, {"&File", "&View", "&Window", "&Help"}, "Parameters", "Time UTC", "LAT", "World Map", "Ready"},
        Language{"C", false, {"&File", "&View", "&Window", "&Help"}, "Parameters", "Time UTC", "LAT", "World Map", "Ready"},
        Language{"es_ES", false, {"&File", "&View", "&Window", "&Help"}, "Parameters", "Time UTC", "LAT", "World Map", "Ready"}),
    [](const ::testing::TestParamInfo<Language>& info) { return std::string(info.param.locale); });

}  // namespace
}  // namespace nimbrel::test
