// The manual the program carries: every page reachable, every link and
// picture found, and the window flow of Help Topics, F1 and the links.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>

#include "MainWindowFixture.h"
#include "ui/BrowserView.h"
#include "ui/HelpPages.h"

namespace nimbrel::test {
namespace {

QString Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Every Markdown link and picture of a page, as written.
QStringList LinksOf(const QString& markdown) {
  QStringList links;
  static const QRegularExpression link(QStringLiteral(R"(\]\(([^)\s]+)\))"));
  for (const QRegularExpressionMatch& match : link.globalMatch(markdown)) links << match.captured(1);
  return links;
}

QStringList PagesIn(const QString& folder) {
  QStringList pages;
  for (QDirIterator it(folder, {QStringLiteral("*.md")}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
    pages << it.next();
  pages.sort();
  return pages;
}

TEST(Manual, EveryPageIsCarriedReachedAndLinksToWhatExists) {
  // The pages written are the pages carried: a page left out of the
  // resource list would be a dead link in the program.
  QStringList written, carried;
  const QString source = QStringLiteral(NIMBREL_SOURCE_DIR "/docs/manual");
  for (const QString& page : PagesIn(source)) written << QDir(source).relativeFilePath(page);
  for (const QString& page : PagesIn(manualFolder())) carried << QDir(QStringLiteral(":/manual")).relativeFilePath(page);
  ASSERT_GE(written.size(), 10);
  EXPECT_EQ(carried, written);

  QStringList reached;
  for (const QString& page : PagesIn(QStringLiteral(":/manual"))) {
    const QString text = Read(page);
    EXPECT_TRUE(text.startsWith(QStringLiteral("# "))) << page.toStdString() << ": a page starts with its title";
    const QDir here = QFileInfo(page).dir();
    for (const QString& link : LinksOf(text)) {
      if (link.startsWith(QLatin1String("https://"))) continue;
      const QString target = QDir::cleanPath(here.filePath(link.section(QLatin1Char('#'), 0, 0)));
      EXPECT_TRUE(QFile::exists(target)) << page.toStdString() << " links to " << link.toStdString();
      if (target.endsWith(QLatin1String(".png"))) {
        EXPECT_FALSE(QImage(target).isNull()) << target.toStdString();
      }
      if (page.endsWith(QLatin1String("/index.md"))) reached << target;
    }
    if (!page.endsWith(QLatin1String("/index.md"))) {
      EXPECT_TRUE(LinksOf(text).contains(QStringLiteral("index.md"))) << page.toStdString() << " leads back to the contents";
    }
  }
  for (const QString& page : PagesIn(QStringLiteral(":/manual/en")))
    if (!page.endsWith(QLatin1String("/index.md"))) {
      EXPECT_TRUE(reached.contains(page)) << page.toStdString() << " is in the contents";
    }
}

// The start page in the user's language where there is one; every other
// page, and every other language, in English.
TEST(Manual, TheStartPageFollowsTheLanguage) {
  const struct {
    const char* locale;
    const char* page;
    const char* url;
  } cases[] = {
      {"de_DE", "index.md", "qrc:/manual/de/index.md"}, {"fr_CA", "index.md", "qrc:/manual/fr/index.md"},
      {"en_GB", "index.md", "qrc:/manual/en/index.md"}, {"it_IT", "index.md", "qrc:/manual/en/index.md"},
      {"C", "index.md", "qrc:/manual/en/index.md"},     {"de_DE", "map.md", "qrc:/manual/en/map.md"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(helpPageUrl(QString::fromLatin1(c.page), QLocale(QString::fromLatin1(c.locale))).toString(),
              QString::fromLatin1(c.url))
        << c.locale << " " << c.page;
}

class ManualWindowTest : public MainWindowFixture {};

BrowserView* ManualOf(MainWindow* frame, int* windows = nullptr) {
  BrowserView* found = nullptr;
  int count = 0;
  for (QMdiSubWindow* child : AreaOf(frame)->subWindowList())
    if (auto* view = qobject_cast<BrowserView*>(child->widget())) {
      found = view;
      ++count;
    }
  if (windows != nullptr) *windows = count;
  return found;
}

// Help Topics opens the contents; F1 turns the one manual window to the page
// of the window in front; a link followed by the keyboard, and Back.
TEST_F(ManualWindowTest, HelpTopicsAndF1OpenTheManualAtTheWindowsPage) {
  WriteStations({StationLine("ZURICH-KLOTEN", "LSZH", 8.55, 47.46)});
  StartWindow();
  ActionOf(Frame(), "helpTopicsAction")->trigger();
  BrowserView* manual = ManualOf(Frame());
  ASSERT_NE(manual, nullptr);
  EXPECT_EQ(manual->url(), QStringLiteral("qrc:/manual/en/index.md"));
  EXPECT_EQ(TitleOf(manual), QStringLiteral("Nimbrel Help"));
  EXPECT_TRUE(manual->textBrowser()->toPlainText().contains(QStringLiteral("Getting started")));

  QMdiSubWindow* map = AreaOf(Frame())->subWindowList().front();
  AreaOf(Frame())->setActiveSubWindow(map);
  ActionOf(Frame(), "windowHelpAction")->trigger();
  int windows = 0;
  EXPECT_EQ(ManualOf(Frame(), &windows), manual);
  EXPECT_EQ(windows, 1);
  EXPECT_EQ(manual->url(), QStringLiteral("qrc:/manual/en/map.md"));
  EXPECT_EQ(TitleOf(manual), QStringLiteral("Nimbrel Help - The world map"));
  EXPECT_EQ(AreaOf(Frame())->activeSubWindow()->widget(), manual);

  // The page's first link is "Contents": Tab reaches it, Enter follows it.
  QTextBrowser* text = manual->textBrowser();
  text->setFocus();
  QTest::keyClick(text, Qt::Key_Tab);
  QTest::keyClick(text, Qt::Key_Return);
  EXPECT_EQ(manual->url(), QStringLiteral("qrc:/manual/en/index.md"));
  EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("Getting started"))) << "read as Markdown, not as text";
  ActionOf(manual, "helpBackAction")->trigger();
  EXPECT_EQ(manual->url(), QStringLiteral("qrc:/manual/en/map.md"));

  // Its pictures fit the page: none is wider than the window.
  ActionOf(manual, "helpContentsAction")->trigger();
  QApplication::processEvents();
  EXPECT_FALSE(text->horizontalScrollBar()->isVisible()) << "the overview picture is scaled to the page";

  StationTableView* table = Frame()->openAllStationsTable();
  ASSERT_NE(table, nullptr);
  ActionOf(Frame(), "windowHelpAction")->trigger();
  EXPECT_EQ(manual->url(), QStringLiteral("qrc:/manual/en/tables.md"));
  EXPECT_FALSE(text->document()->isEmpty());
}

}  // namespace
}  // namespace nimbrel::test
