#include "mainwindow/tf_Escrivon.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace esc;

namespace {

// Takes the place of the desktop for file addresses, so the test sees what would open.
class FileOpener : public QObject {
  Q_OBJECT
public:
  QList<QUrl> opened;
public slots:
  void open(const QUrl& url) { opened << url; }
};

} // namespace

// "&Ajuda" on the main window: the organization's own Escrivon.doc in the default directory
// when there is one, else the manual the build ships beside the program.
TEST(HelpButton, OpensEscrivonDocElseTheShippedManual) {
  // A data home of its own, so no real Escrivon.doc and no other test run interferes.
  QTemporaryDir home;
  const QByteArray savedHome = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", home.path().toUtf8());
  const QDir defaultDir(TF_Escrivon::defaultDirectory());
  ASSERT_TRUE(defaultDir.path().startsWith(home.path()));
  const QString own = defaultDir.filePath("Escrivon.doc");
  FileOpener opener;
  QDesktopServices::setUrlHandler("file", &opener, "open");

  test::TempBook book;
  ScriptedUi ui;
  TDEscrivon dm(ui);
  TF_Escrivon w(dm);
  w.ButAjuda->click();
  ASSERT_EQ(opener.opened.size(), 1);
  const QString manual = opener.opened[0].toLocalFile();
  EXPECT_TRUE(manual.endsWith("/share/doc/escrivon/manual.html")) << manual.toStdString();
  EXPECT_TRUE(QFile::exists(manual));

  ASSERT_TRUE(defaultDir.mkpath("."));
  QFile doc(own);
  ASSERT_TRUE(doc.open(QIODevice::WriteOnly));
  doc.close();
  w.ButAjuda->click();
  ASSERT_EQ(opener.opened.size(), 2);
  EXPECT_EQ(opener.opened[1].toLocalFile(), own);

  QDesktopServices::unsetUrlHandler("file");
  if (savedHome.isNull())
    qunsetenv("XDG_DATA_HOME");
  else
    qputenv("XDG_DATA_HOME", savedHome);
}

#include "helpButtonTest.moc"
