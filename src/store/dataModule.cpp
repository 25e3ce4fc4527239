#include "dataModule.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace esc {

TDEscrivon::TDEscrivon(Ui& ui, QObject* parent) : QObject(parent), ui_(ui) {
  setObjectName("DEscrivon");
  TbContas = make("TbContas", "Contas contábil e corrente já cadastradas.");
  TbHistoric = make("TbHistoric", "Código de histórico já cadastrado. Não pode ser repetido.");
  TbLancamen = make("TbLancamen");
  TbBalanco = make("TbBalanco");
  TbBalPatri = make("TbBalPatri");
  TbDemResul = make("TbDemResul", "Numero de ordem já cadastrado.");
  TbFechamen = make("TbFechamen");
  TbCabecalh = make("TbCabecalh");
  TbLancamen->setLookupSource("TbContas", TbContas);
  TbLancamen->setLookupSource("TbHistoric", TbHistoric);
  auto source = [this](Table* t, const char* name) {
    auto* ds = new DataSource(t, this);
    ds->setObjectName(name);
    return ds;
  };
  DsContas = source(TbContas, "DsContas");
  DsHistoric = source(TbHistoric, "DsHistoric");
  DsLancamen = source(TbLancamen, "DsLancamen");
  DsBalanco = source(TbBalanco, "DsBalanco");
  DsBalpatri = source(TbBalPatri, "DsBalpatri");
  DsDemResul = source(TbDemResul, "DsDemResul");
  DsFechamen = source(TbFechamen, "DsFechamen");
  DsCabecalh = source(TbCabecalh, "DsCabecalh");
}

TDEscrivon::~TDEscrivon() {
  closeAll();
  // The lock goes last, once nothing of this process can write any more.
  db_.closeDirectory();
  lock_.reset();
}

Table* TDEscrivon::make(const QString& component, const QString& duplicateKeyMessage) {
  auto* t = new Table(db_, tableDef(component), this);
  t->setObjectName(component);
  // Each successful post is on disk at once: outside a transaction SQLite commits every
  // statement with a full sync, inside one the commit writes it all; nothing is left to flush.
  t->afterPost = [] {};
  if (!duplicateKeyMessage.isEmpty()) {
    t->onPostError = [this, duplicateKeyMessage](const StoreError& e) {
      if (!e.isKeyViolation()) return Table::PostErrorAction::Fail;
      ui_.error(duplicateKeyMessage);
      return Table::PostErrorAction::Abort;
    };
  }
  return t;
}

QString TDEscrivon::defaultDirectory() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
      .filePath("Escrivon");
}

void TDEscrivon::connectDatabase() {
  connectDirectory(DatabaseRegistry::directory(databaseName));
}

void TDEscrivon::connectDirectory(const QString& directory, Database::Access access) {
  if (db_.isConnected() && db_.directory() == QFileInfo(directory).absoluteFilePath() &&
      (access == Database::Access::ReadOnly) == db_.isReadOnly())
    return;
  closeAll();
  if (access == Database::Access::ReadOnly && QFileInfo(directory).isDir()) {
    // Said plainly here, rather than as the first table that fails to open.
    QStringList missing;
    for (Table* t : tables())
      if (!QFileInfo(QDir(directory).filePath(t->def().fileName)).isFile())
        missing << t->def().fileName;
    if (!missing.isEmpty())
      throw StoreError(QStringLiteral("%1 não é um diretório de dados do Escrivon: não contém %2.")
                           .arg(QDir::toNativeSeparators(QFileInfo(directory).absoluteFilePath()),
                                missing.join(", ")));
  }
  db_.openDirectory(directory, access);
}

void TDEscrivon::lockDatabase() {
  lockDirectory(DatabaseRegistry::directory(databaseName));
}

void TDEscrivon::lockDirectory(const QString& directory) {
  if (lock_ && lock_->directory() == QFileInfo(directory).absoluteFilePath()) return;
  lock_.reset();
  lock_ = std::make_unique<BookLock>(directory);
}

TDEscrivon::Answer TDEscrivon::ConfirmaCancelaEdicao(DataSource* source, const QString& what,
                                                     const QString& action) {
  const Table::State s = source->state();
  if (s != Table::State::Edit && s != Table::State::Insert) return Answer::NotEditing;
  return ui_.confirmDefaultNo("É necessário cancelar a edição (ou Inclusão) " + what +
                              " antes de " + action + ". Deseja sair agora ?")
             ? Answer::Yes
             : Answer::No;
}

QVector<Table*> TDEscrivon::tables() const {
  return {TbContas,   TbHistoric, TbLancamen, TbBalanco,
          TbBalPatri, TbDemResul, TbFechamen, TbCabecalh};
}

void TDEscrivon::closeAll() {
  for (Table* t : tables())
    t->close();
}

} // namespace esc
