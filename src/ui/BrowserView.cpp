#include "ui/BrowserView.h"

#include <QAction>
#include <QImage>
#include <QStyle>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

#include "ui/HelpPages.h"

namespace nimbrel {

namespace {

// Pictures wider than a page are shown scaled to its width, so a page
// reads without sideways scrolling.
class HelpText : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;
  static constexpr int kPictureWidth = 660;

  QVariant loadResource(int type, const QUrl& name) override {
    QVariant loaded = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::ImageResource) return loaded;
    QImage picture = loaded.value<QImage>();
    if (picture.isNull()) picture.loadFromData(loaded.toByteArray());
    if (picture.isNull() || picture.width() <= kPictureWidth) return loaded;
    return picture.scaledToWidth(kPictureWidth, Qt::SmoothTransformation);
  }
};

}  // namespace

BrowserView::BrowserView(const QString& url, QWidget* parent) : QWidget(parent) {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  bar = new QToolBar(this);
  bar->setObjectName(QStringLiteral("helpToolbar"));
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  browser = new HelpText(this);
  browser->setObjectName(QStringLiteral("helpText"));
  // Pages of the manual open here; a web address opens in the user's browser.
  browser->setOpenExternalLinks(true);
  browser->document()->setDocumentMargin(12);
  QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"), browser, &QTextBrowser::backward);
  back->setObjectName(QStringLiteral("helpBackAction"));
  back->setShortcut(QKeySequence::Back);
  QAction* forward =
      bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Forward"), browser, &QTextBrowser::forward);
  forward->setObjectName(QStringLiteral("helpForwardAction"));
  forward->setShortcut(QKeySequence::Forward);
  QAction* home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Contents"), this,
                                 [this] { open(helpPageUrl(QStringLiteral("index.md")).toString()); });
  home->setObjectName(QStringLiteral("helpContentsAction"));
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  connect(browser, &QTextBrowser::sourceChanged, this, [this](const QUrl& source) {
    address = source.toString();
    emit pageChanged(pageTitle());
  });
  layout->addWidget(bar);
  layout->addWidget(browser, 1);
  open(url);
}

void BrowserView::open(const QString& url) {
  const QUrl page(url);
  if (isHelpPage(page)) {
    browser->setSource(page, QTextDocument::MarkdownResource);
  } else {
    browser->clear();
    address = url;
    emit pageChanged(pageTitle());
  }
  bar->setVisible(isHelpPage(page));
}

QString BrowserView::pageTitle() const {
  if (!isHelpPage(QUrl(address))) return address;
  for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
    if (block.blockFormat().headingLevel() == 1) {
      // The contents page is titled by the manual's name alone.
      const QString heading = block.text();
      return heading == tr("Nimbrel Help") ? heading : tr("Nimbrel Help - %1").arg(heading);
    }
  return tr("Nimbrel Help");
}

}  // namespace nimbrel
