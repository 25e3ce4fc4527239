#include "spedDataDialog.h"

#include "book/keys.h"
#include "book/taxIds.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace esc {

namespace {

const QString dateFormat = QStringLiteral("dd/MM/yyyy");

QTableWidgetItem* fixed(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  return item;
}

QString cell(const QTableWidget* t, int row, int column) {
  const QTableWidgetItem* item = t->item(row, column);
  return item ? item->text().trimmed() : QString();
}

// A typed date: valid, or invalid with `bad` set when the text is not empty.
QDate dateOf(const QString& text, bool& bad) {
  if (text.trimmed().isEmpty()) return {};
  const QDate d = QDate::fromString(text.trimmed(), dateFormat);
  if (!d.isValid()) bad = true;
  return d;
}

} // namespace

SpedDataDialog::SpedDataDialog(MainContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName("SpedDataDialog");
  setWindowTitle(QStringLiteral("Dados para o SPED"));
  auto* col = new QVBoxLayout(this);

  auto* form = new QFormLayout;
  auto line = [&](const char* name, const QString& label, int length) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    if (length > 0) e->setMaxLength(length);
    form->addRow(label, e);
    return e;
  };
  uf = line("EdUf", QStringLiteral("UF"), 2);
  municipalityCode = line("EdMunicipio", QStringLiteral("Código IBGE do município"), 7);
  municipalityName = line("EdNomeMunicipio", QStringLiteral("Nome do município"), 60);
  nire = line("EdNire", QStringLiteral("NIRE"), 11);
  nireDate = line("EdDataNire", QStringLiteral("Data do arquivamento (DD/MM/AAAA)"), 10);
  stateRegistration = line("EdIe", QStringLiteral("Inscrição estadual"), 30);
  municipalRegistration = line("EdIm", QStringLiteral("Inscrição municipal"), 30);
  referentialChart = line("EdPlanoRef", QStringLiteral("Plano de contas referencial"), 2);
  col->addLayout(form);

  auto* tabs = new QTabWidget(this);
  col->addWidget(tabs, 1);
  // A tab holding a table and, when given, the buttons that add and remove its rows.
  auto tab = [&](QTableWidget* table, const QString& caption, const QString& note,
                 const QString& include, const QString& remove, auto addRow) {
    auto* page = new QWidget;
    auto* box = new QVBoxLayout(page);
    if (!note.isEmpty()) box->addWidget(new QLabel(note, page));
    box->addWidget(table);
    if (!include.isEmpty()) {
      auto* rowButtons = new QHBoxLayout;
      auto* in = new QPushButton(include, page);
      auto* out = new QPushButton(remove, page);
      rowButtons->addWidget(in);
      rowButtons->addWidget(out);
      rowButtons->addStretch();
      box->addLayout(rowButtons);
      connect(in, &QPushButton::clicked, this, [table, addRow] {
        addRow();
        table->setCurrentCell(table->rowCount() - 1, 0);
        table->editItem(table->currentItem());
      });
      connect(out, &QPushButton::clicked, this, [table] {
        if (table->currentRow() >= 0) table->removeRow(table->currentRow());
      });
    }
    tabs->addTab(page, caption);
  };

  signatories = new QTableWidget(0, SignatoryColumns, this);
  signatories->setObjectName("GrSignatarios");
  signatories->setHorizontalHeaderLabels(
      {QStringLiteral("Nome"), QStringLiteral("CPF/CNPJ"), QStringLiteral("Qualificação"),
       QStringLiteral("Código"), QStringLiteral("CRC"), QStringLiteral("UF do CRC"),
       QStringLiteral("Certidão"), QStringLiteral("Validade"), QStringLiteral("E-mail"),
       QStringLiteral("Telefone"), QStringLiteral("Responsável")});
  signatories->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tab(signatories, QStringLiteral("Signatários"), QString(), QStringLiteral("&Incluir signatário"),
      QStringLiteral("E&xcluir signatário"), [this] { addSignatory({}); });

  // A table of fixed first columns and one column typed in, the last.
  auto listing = [this](const char* name, const QStringList& headings) {
    auto* t = new QTableWidget(0, int(headings.size()), this);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(headings);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    t->verticalHeader()->hide();
    return t;
  };
  natures = listing("GrNaturezas",
                    {QStringLiteral("Conta"), QStringLiteral("Nome"), QStringLiteral("Natureza")});
  tab(natures, QStringLiteral("Natureza das contas"),
      QStringLiteral("Natureza das contas de 1º e 2º nível (01 ativo, 02 passivo, 03 patrimônio "
                     "líquido, 04 resultado, 05 compensação, 09 outras)"),
      QString(), QString(), [] {});
  referentials =
      listing("GrReferenciais", {QStringLiteral("Conta e conta corrente"), QStringLiteral("Nome"),
                                 QStringLiteral("Código referencial")});
  tab(referentials, QStringLiteral("Códigos referenciais"),
      QStringLiteral("O código de cada conta analítica no plano de contas referencial"), QString(),
      QString(), [] {});
  registrations = new QTableWidget(0, 2, this);
  registrations->setObjectName("GrInscricoes");
  registrations->setHorizontalHeaderLabels(
      {QStringLiteral("Entidade"), QStringLiteral("Inscrição")});
  registrations->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  tab(registrations, QStringLiteral("Outras inscrições"),
      QStringLiteral("Inscrições em outras entidades com direito de acesso ao livro (código da "
                     "entidade na tabela do SPED e número)"),
      QStringLiteral("&Incluir inscrição"), QStringLiteral("Excluir i&nscrição"), [this] {
        registrations->insertRow(registrations->rowCount());
        for (int c = 0; c < 2; ++c)
          registrations->setItem(registrations->rowCount() - 1, c, new QTableWidgetItem);
      });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Gravar"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Cancelar"));
  col->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &SpedDataDialog::save);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  resize(900, 640);

  Database& db = ctx_.dm().database();
  loaded_ = loadSpedData(db);
  showData(loaded_);
  // The first two levels of the chart, each once, with the nature the export would take.
  const auto accounts = db.select(
      "SELECT CodigoContaContabil, min(NomeContaContabil) FROM contas "
      "WHERE NivelDaConta IN ('1', '2') GROUP BY CodigoContaContabil ORDER BY CodigoContaContabil");
  natures->setRowCount(int(accounts.size()));
  for (int i = 0; i < int(accounts.size()); ++i) {
    const QString code = accounts[i][0].toString();
    natures->setItem(i, 0, fixed(code));
    natures->setItem(i, 1, fixed(accounts[i][1].toString().trimmed()));
    natures->setItem(i, 2, new QTableWidgetItem(loaded_.natureOf(code)));
  }
  // Every analytic account pair, the result account's included.
  const auto pairs =
      db.select("SELECT CodigoContaContabil, CodigoContaCorrente, NomeContaContabil, "
                "NomeContaCorrente FROM contas WHERE NivelDaConta = '6' "
                "ORDER BY CodigoContaContabil, CodigoContaCorrente");
  referentials->setRowCount(int(pairs.size()));
  for (int i = 0; i < int(pairs.size()); ++i) {
    const QString pair = book::accountPair(pairs[i][0].toString(), pairs[i][1].toString());
    const QString current = pairs[i][3].toString().trimmed();
    referentials->setItem(i, 0, fixed(pair));
    referentials->setItem(i, 1,
                          fixed(pairs[i][2].toString().trimmed() +
                                (current.isEmpty() ? QString() : " - " + current)));
    referentials->setItem(i, 2, new QTableWidgetItem(loaded_.referentialCodes.value(pair)));
  }
}

void SpedDataDialog::showData(const SpedData& d) {
  uf->setText(d.uf);
  municipalityCode->setText(d.municipalityCode);
  municipalityName->setText(d.municipalityName);
  nire->setText(d.nire);
  nireDate->setText(d.nireDate.toString(dateFormat));
  stateRegistration->setText(d.stateRegistration);
  municipalRegistration->setText(d.municipalRegistration);
  referentialChart->setText(d.referentialChart);
  for (const SpedSignatory& s : d.signatories)
    addSignatory(s);
  registrations->setRowCount(int(d.otherRegistrations.size()));
  for (int i = 0; i < int(d.otherRegistrations.size()); ++i) {
    registrations->setItem(i, 0, new QTableWidgetItem(d.otherRegistrations[i].entity));
    registrations->setItem(i, 1, new QTableWidgetItem(d.otherRegistrations[i].number));
  }
}

void SpedDataDialog::addSignatory(const SpedSignatory& s) {
  const int row = signatories->rowCount();
  signatories->insertRow(row);
  const QString texts[] = {s.name,  s.cpf,   s.qualification, s.code,
                           s.crc,   s.crcUf, s.crcSequence,   s.crcValidity.toString(dateFormat),
                           s.email, s.phone};
  for (int c = 0; c < LegalResponsible; ++c)
    signatories->setItem(row, c, new QTableWidgetItem(texts[c]));
  auto* responsible = new QTableWidgetItem;
  responsible->setFlags((responsible->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEditable);
  responsible->setCheckState(s.legalResponsible ? Qt::Checked : Qt::Unchecked);
  signatories->setItem(row, LegalResponsible, responsible);
}

SpedData SpedDataDialog::typed(QString& fault) const {
  // What the dialog does not show is kept as stored.
  SpedData d = loaded_;
  d.uf = uf->text().trimmed().toUpper();
  d.municipalityCode = municipalityCode->text().trimmed();
  d.municipalityName = municipalityName->text().trimmed();
  d.nire = book::digitsOf(nire->text());
  bool bad = false;
  d.nireDate = dateOf(nireDate->text(), bad);
  if (bad) fault = QStringLiteral("Data do arquivamento (NIRE) inválida: use DD/MM/AAAA.");
  d.stateRegistration = stateRegistration->text().trimmed();
  d.municipalRegistration = municipalRegistration->text().trimmed();
  d.referentialChart = referentialChart->text().trimmed();
  d.signatories.clear();
  for (int r = 0; r < signatories->rowCount(); ++r) {
    SpedSignatory s;
    s.name = cell(signatories, r, Name);
    s.cpf = book::digitsOf(cell(signatories, r, Cpf));
    s.qualification = cell(signatories, r, Qualification);
    s.code = cell(signatories, r, Code);
    s.crc = cell(signatories, r, Crc);
    s.crcUf = cell(signatories, r, CrcUf).toUpper();
    s.crcSequence = cell(signatories, r, CrcSequence);
    bool badValidity = false;
    s.crcValidity = dateOf(cell(signatories, r, CrcValidity), badValidity);
    if (badValidity && fault.isEmpty())
      fault = QStringLiteral("Validade da certidão do signatário %1 inválida: use DD/MM/AAAA.")
                  .arg(s.name);
    s.email = cell(signatories, r, Email);
    s.phone = cell(signatories, r, Phone);
    const QTableWidgetItem* responsible = signatories->item(r, LegalResponsible);
    s.legalResponsible = responsible && responsible->checkState() == Qt::Checked;
    d.signatories << s;
  }
  // An empty nature leaves the account to the default of its group.
  d.natures.clear();
  for (int r = 0; r < natures->rowCount(); ++r)
    if (const QString n = cell(natures, r, 2); !n.isEmpty())
      d.natures.insert(cell(natures, r, 0), n);
  // A pair the chart no longer holds keeps its code; an emptied one loses it.
  for (int r = 0; r < referentials->rowCount(); ++r) {
    const QString pair = cell(referentials, r, 0), code = cell(referentials, r, 2);
    if (code.isEmpty())
      d.referentialCodes.remove(pair);
    else
      d.referentialCodes.insert(pair, code);
  }
  // Rows left wholly empty are dropped; a half-typed one is refused by the check.
  d.otherRegistrations.clear();
  for (int r = 0; r < registrations->rowCount(); ++r) {
    const QString entity = cell(registrations, r, 0), number = cell(registrations, r, 1);
    if (!entity.isEmpty() || !number.isEmpty()) d.otherRegistrations.push_back({entity, number});
  }
  return d;
}

bool SpedDataDialog::save() {
  Ui& ui = ctx_.ui();
  QString fault;
  const SpedData d = typed(fault);
  if (fault.isEmpty())
    if (const auto refusal = spedDataFault(d)) fault = *refusal;
  if (!fault.isEmpty()) {
    ui.message(fault);
    return false;
  }
  try {
    const OperationResult r = saveSpedData(ctx_.dm().database(), d);
    ui.message(r.message());
    if (!r.isDone()) return false;
    loaded_ = d;
    accept();
    return true;
  } catch (const StoreError& e) {
    if (!e.silent()) ui.error(e.message());
    return false;
  }
}

bool editSpedData(MainContext& ctx, QWidget* parent) {
  try {
    SpedDataDialog dialog(ctx, parent);
    return dialog.exec() == QDialog::Accepted;
  } catch (const StoreError& e) {
    if (!e.silent()) ctx.ui().error(e.message());
    return false;
  }
}

} // namespace esc
