#include "period/pages/atualizacoesPage.h"
#include "period/pages/backupCopyDialog.h"
#include "statementsHelpers.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <functional>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/resource.h>

namespace esc::test {
namespace {

struct FakeVolumes : BackupVolumes {
  bool ready(const QString&) const override { return isReady; }
  qint64 freeBytes(const QString&) const override {
    ++calls;
    if (onFree) onFree(calls);
    return free;
  }
  QString defaultDestination() const override { return "/media/pen/"; }
  bool isReady = true;
  qint64 free = 1LL << 40;
  std::function<void(int)> onFree; // told which call this is: 1 asks the user, 2 precedes file 1
  mutable int calls = 0;
};

struct Backup {
  bool run(const QString& destination, std::deque<bool> answers = {true, true}) {
    book.ui.clear();
    book.ui.confirmAnswers = std::move(answers);
    book.ui.promptAnswers = {destination};
    volumes.calls = 0;
    return runBackupCopy(ctx, &volumes);
  }
  QString dest() { return target.path() + "/"; }
  // Every row of every table of a data directory, as another connection reads it.
  static QStringList contents(const QString& directory) {
    ScriptedUi ui;
    TDEscrivon dm(ui);
    dm.connectDirectory(directory);
    QStringList out;
    for (Table* t : dm.tables()) {
      t->open();
      for (const QVariantList& r : dm.database().select("SELECT * FROM " + t->def().sqlName)) {
        QStringList cells;
        for (const QVariant& v : r)
          cells << v.toString();
        out << t->name() + ": " + cells.join('|');
      }
    }
    return out;
  }
  QStringList leftovers() {
    return QDir(target.path()).entryList({"*.copia*", "*-journal"}, QDir::Files);
  }
  PageBook book;
  SimpleContext& ctx = book.ctx;
  FakeVolumes volumes;
  QTemporaryDir target;
};

TEST(BackupCopy, ChecksTheDestinationInOrderAndCopiesNothingWhenRefused) {
  Backup b;
  const QString done = "Operação de cópia de segurança do banco de dados concluída.";
  struct Case {
    QString destination;
    QString said;
  };
  QDir(b.target.path()).mkdir("Copia");
  QFile::link(b.book.path(), b.target.path() + "/dados");
  const QVector<Case> cases = {
      {"", "Destino da cópia inválido. Operação Cancelada."},
      {b.target.path(), "Diretório de destino inválido Último caracter tem de ser /."},
      // Paths keep their case: "copia" is not "Copia".
      {b.target.path() + "/copia/", "Diretório " + b.target.path() + "/copia/ não existe."},
      {b.book.path() + "/./", "Diretório de destino não pode o mesmo de origem."},
      {b.target.path() + "/dados/", "Diretório de destino não pode o mesmo de origem."},
  };
  // A bind mount of the data directory is the data directory (needs the right to mount).
  struct BindMount {
    BindMount(const QString& from, const QString& to) : at(QFile::encodeName(to)) {
      QDir().mkpath(to);
      done = ::mount(QFile::encodeName(from).constData(), at.constData(), nullptr, MS_BIND,
                     nullptr) == 0;
    }
    ~BindMount() {
      if (done) ::umount2(at.constData(), MNT_DETACH);
    }
    QByteArray at;
    bool done = false;
  } bound(b.book.path(), b.target.path() + "/montado");
  const QVector<Case> aliases = {
      {b.target.path() + "/montado/", "Diretório de destino não pode o mesmo de origem."}};
  for (const Case& c : cases + (bound.done ? aliases : QVector<Case>{})) {
    EXPECT_FALSE(b.run(c.destination));
    EXPECT_EQ(b.book.ui.texts(), QStringList({"Cópia de Segurança", c.said}))
        << c.destination.toStdString();
  }
  EXPECT_EQ(b.book.ui.lastPromptLabel, "Informe o Drive e Diretório de destino");
  EXPECT_EQ(b.book.ui.lastPromptDefault, "/media/pen/");

  b.volumes.isReady = false;
  EXPECT_FALSE(b.run("/media/pen/"));
  EXPECT_EQ(b.book.ui.texts().last(), "Não há disco no drive /media/pen:");
  b.volumes.isReady = true;

  b.volumes.free = 12345;
  EXPECT_FALSE(b.run(b.dest(), {false}));
  EXPECT_EQ(b.book.ui.texts().last(), "Espaço no drive: 12345 bytes. Confirma operação?");
  b.volumes.free = -1;
  EXPECT_FALSE(b.run(b.dest(), {false}));
  EXPECT_EQ(b.book.ui.texts().last(), "Espaço no drive: -1 bytes. Confirma operação?");
  EXPECT_EQ(QDir(b.target.path()).entryList(QDir::Files), QStringList());
  EXPECT_FALSE(b.book.ui.texts().contains(done));

  // Without any medium the user's home is offered.
  const QString offered = BackupVolumes().defaultDestination();
  EXPECT_TRUE(offered.endsWith('/'));
  EXPECT_TRUE(QFileInfo(offered).isDir());
}

TEST(BackupCopy, TheCopyIsADataDirectoryAndAnEarlierOneIsReplacedOnlyWhenConfirmed) {
  Backup b;
  ASSERT_TRUE(b.run(b.dest()));
  EXPECT_EQ(b.book.ui.texts("message"),
            QStringList({"Operação de cópia de segurança do banco de dados concluída."}));
  EXPECT_EQ(b.book.ui.rangeMax, 9);
  EXPECT_EQ(b.book.ui.position, 0);
  EXPECT_EQ(QDir(b.target.path()).entryList(QDir::Files),
            QStringList({"BALANCO.db", "BALPATRI.db", "CABECALH.db", "CONTAS.db", "DEMRESUL.db",
                         "ESCRIVON.db", "FECHAMEN.db", "HISTORIC.db", "LANCAMEN.db"}));
  const QStringList original = Backup::contents(b.book.path());
  ASSERT_GT(original.size(), 100);
  EXPECT_EQ(Backup::contents(b.target.path()), original);

  // A second copy asks before overwriting; No leaves the first one.
  b.book.dm->database().exec("INSERT INTO historic VALUES ('0099', 'DEPOIS DA PRIMEIRA CÓPIA')");
  EXPECT_FALSE(b.run(b.dest(), {true, false}));
  EXPECT_EQ(b.book.ui.texts("confirm").last(), "Arquivo já existe no destino. Regravar?");
  EXPECT_EQ(Backup::contents(b.target.path()), original);
  ASSERT_TRUE(b.run(b.dest(), {true, true}));
  EXPECT_EQ(Backup::contents(b.target.path()), Backup::contents(b.book.path()));
  EXPECT_TRUE(b.leftovers().isEmpty());
}

// The journal of a transaction on `file` that was interrupted: what a crash of a program
// that had the file open would leave beside it.
void leaveInterruptedJournal(const QString& file) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
  // Without syncing, every record reaches the journal as written, so it reads as hot.
  sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN; UPDATE historic SET NomeHistorico='VELHO'",
               nullptr, nullptr, nullptr);
  QFile journal(file + "-journal");
  ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
  const QByteArray bytes = journal.readAll();
  journal.close();
  sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  ASSERT_GT(bytes.size(), 512);
  ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
  journal.write(bytes);
}

TEST(BackupCopy, AnyFileOfAnEarlierCopyIsAskedForAndItsLeftoversDoNotSpoilTheNewOne) {
  Backup b;
  QFile anchor(b.dest() + "ESCRIVON.db");
  ASSERT_TRUE(anchor.open(QIODevice::WriteOnly));
  anchor.close();
  EXPECT_FALSE(b.run(b.dest(), {true, false}));
  EXPECT_EQ(b.book.ui.texts("confirm").last(), "Arquivo já existe no destino. Regravar?");
  EXPECT_EQ(QFileInfo(anchor).size(), 0);
  ASSERT_TRUE(b.run(b.dest()));

  leaveInterruptedJournal(b.dest() + "HISTORIC.db");
  b.book.dm->database().exec("INSERT INTO historic VALUES ('0099', 'DEPOIS DA PRIMEIRA CÓPIA')");
  ASSERT_TRUE(b.run(b.dest()));
  EXPECT_FALSE(QFileInfo::exists(b.dest() + "HISTORIC.db-journal"));
  EXPECT_EQ(Backup::contents(b.target.path()), Backup::contents(b.book.path()));

  // A leftover that cannot be removed spoils the copy: the check after the copy says so.
  ASSERT_TRUE(QDir(b.target.path()).mkdir("CONTAS.db-journal"));
  EXPECT_FALSE(b.run(b.dest()));
  EXPECT_EQ(b.book.ui.texts("error"),
            QStringList({"Cópia de segurança com erro: a conferência da cópia no destino falhou em "
                         "CONTAS.db. Repita a cópia em outro destino."}));
  EXPECT_TRUE(b.book.ui.texts("message").isEmpty());
}

TEST(BackupCopy, LowSpaceIsToldBeforeEveryFileAndTheCopyGoesOn) {
  Backup b;
  // Less than the low-space mark, though more than most files need.
  b.volumes.free = backupLowSpace - 1;
  ASSERT_TRUE(b.run(b.dest()));
  EXPECT_EQ(b.book.ui.texts("message").count("Espaço em disco insuficiente. Coloque outro disco."),
            9);
  EXPECT_EQ(b.book.ui.texts("message").last(),
            "Operação de cópia de segurança do banco de dados concluída.");
}

TEST(BackupCopy, TheEngineCopiesWithoutAskingAndCountsTheFiles) {
  Backup b;
  NoProgress quiet;
  int lowSpace = 0;
  b.volumes.free = backupLowSpace - 1;
  for (int run = 1; run <= 2; ++run) { // the second over the first, unasked
    const OperationResult r =
        copyBook(b.book.path(), b.dest(), quiet, &b.volumes, [&] { ++lowSpace; });
    EXPECT_TRUE(r.isDone()) << r.message().toStdString();
    EXPECT_EQ(r.figure("files copied"), 9);
  }
  EXPECT_EQ(lowSpace, 18);
  const OperationResult same = copyBook(b.book.path(), b.book.path() + "/", quiet, &b.volumes);
  EXPECT_EQ(same.reason(), int(BackupRefusal::Destination));
  EXPECT_EQ(same.message(), "Diretório de destino não pode o mesmo de origem.");
  EXPECT_TRUE(b.book.ui.said.empty());
}

// Writes beyond `bytes` fail for this process, as on a full medium, until destroyed.
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit l = saved;
    l.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &l);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
  rlimit saved{};
};

TEST(BackupCopy, AMediumThatFillsHalfWayIsReportedAndKeepsTheEarlierCopy) {
  Backup b;
  ASSERT_TRUE(b.run(b.dest()));
  auto bytes = [&] {
    QStringList out;
    for (const QString& f : QDir(b.target.path()).entryList(QDir::Files)) {
      QFile file(b.target.path() + "/" + f);
      file.open(QIODevice::ReadOnly);
      out << f + ":" + QString::fromLatin1(file.readAll().toBase64());
    }
    return out;
  };
  const QStringList earlier = bytes();
  b.book.dm->database().exec("INSERT INTO historic VALUES ('0099', 'DEPOIS DA PRIMEIRA CÓPIA')");

  std::optional<FileSizeLimit> full;
  b.volumes.onFree = [&](int call) {
    if (call == 5) full.emplace(0); // before the fourth file, CONTAS.db
  };
  EXPECT_FALSE(b.run(b.dest()));
  full.reset();
  const QStringList errors = b.book.ui.texts("error");
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith("Cópia de segurança não realizada. Não foi possível copiar: "
                                   "CONTAS.db, DEMRESUL.db, "))
      << errors[0].toStdString();
  for (const char* f :
       {"HISTORIC.db", "LANCAMEN.db", "Os arquivos do destino não foram alterados."})
    EXPECT_TRUE(errors[0].contains(f)) << f;
  EXPECT_FALSE(errors[0].contains("BALANCO.db"));
  EXPECT_TRUE(b.book.ui.texts("message").isEmpty());
  EXPECT_EQ(b.book.ui.position, 0);
  EXPECT_EQ(bytes(), earlier);
  EXPECT_TRUE(b.leftovers().isEmpty());
}

TEST(BackupCopy, HoldsOnlyCommittedRowsWhileAnEntryIsEditedAndATransactionIsOpenElsewhere) {
  Backup b;
  Table& hist = *b.book.dm->TbHistoric;
  hist.first();
  const QString name = hist.field("NomeHistorico").asString();
  hist.edit();
  hist.setValue("NomeHistorico", "SENDO DIGITADO");

  ScriptedUi otherUi;
  TDEscrivon other(otherUi);
  other.connectDirectory(b.book.path());
  for (Table* t : other.tables())
    t->open();
  auto tx = std::make_unique<Transaction>(other.database());
  other.database().exec("INSERT INTO historic VALUES ('0099', 'NÃO CONFIRMADO')");
  other.database().exec("UPDATE lancamen SET Situacao = 'X'");

  ASSERT_TRUE(b.run(b.dest()));
  const QStringList copy = Backup::contents(b.target.path());
  EXPECT_EQ(copy.filter("NÃO CONFIRMADO"), QStringList());
  EXPECT_EQ(copy.filter("SENDO DIGITADO"), QStringList());
  EXPECT_EQ(copy.filter(name).size(), 1);
  EXPECT_EQ(copy.filter("|X|"), QStringList());
  EXPECT_EQ(hist.state(), Table::State::Edit);
  EXPECT_EQ(hist.field("NomeHistorico").asString(), "SENDO DIGITADO");

  // The copy left no lock behind: the other transaction still commits.
  tx->commit();
  tx.reset();
  EXPECT_EQ(Backup::contents(b.book.path()).filter("NÃO CONFIRMADO").size(), 1);
}

TEST(BackupCopy, TheAtualizacoesButtonsRunTheStatementsAndTheCopy) {
  Backup b;
  AtualizacoesPage page(b.ctx);
  b.book.ui.promptAnswers = {std::nullopt, std::nullopt};
  page.ButAtuDemRes->click();
  page.ButBackUp->click();
  b.book.ui.confirmAnswers = {false};
  page.ButAtuBalPatri->click();
  EXPECT_EQ(b.book.ui.texts(), QStringList({"Atualização", "Cópia de Segurança",
                                            "Confirma atualização do exercício de 2004?"}));
}

} // namespace
} // namespace esc::test
