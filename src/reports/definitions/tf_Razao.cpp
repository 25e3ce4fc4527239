// The general ledger: the dialog TF_SelRelan builds the query of TF_Razao.
#include "tf_Razao.h"

#include "store/dataModule.h"

namespace esc::report {

namespace {

// The balance before the first listed entry, signed on the side of the account's nature:
// the entry's stored running balance with the entry taken back out of it.
const QString signedBefore = "(IF(QryContas.tipodelancamento=QryContas.tipodesaldo,"
                             "QryContas.saldoatual-QryContas.valorlancamento,"
                             "QryContas.saldoatual+QryContas.valorlancamento))";

// The running balance after an entry as an amount; its side is its own letter.
const QString absoluteBalance =
    "IF(QryContas.SaldoAtual>0,QryContas.SaldoAtual,(-QryContas.SaldoAtual))";

} // namespace

// A running balance of zero or more lies on the side of its letter, and then the balance
// before the entry is the entry's amount taken from or added to it. A negative one (the
// account stood on the other side after the entry) gives the balance before from the signed
// value instead; read as an amount on its letter's side it would come out wrong.
// clang-format off
const QString razaoPreviousBalance =
    "IF(QryContas.saldoatual>=0,"
      "IF(qrycontas.tiposaldoatual=qrycontas.tipodelancamento,"
        "IF(qrycontas.saldoatual-qrycontas.valorlancamento>=0,"
          "QryContas.saldoatual-qrycontas.valorlancamento,"
          "(-(QryContas.saldoatual-qrycontas.valorlancamento))),"
        "IF(QryContas.saldoatual+QryContas.valorlancamento>=0,"
          "qrycontas.saldoatual+qrycontas.valorlancamento,"
          "(-(QryContas.saldoatual+qrycontas.valorlancamento)))),"
      "IF(" + signedBefore + ">=0," + signedBefore + ",(-" + signedBefore + ")))";
// The letter follows the signed balance before the entry: the account's nature for zero or
// more (a balance that prints as 0,00 included), the other letter below zero.
const QString razaoPreviousLetter =
    "IF(" + signedBefore + ">-0.005,QryContas.tipodesaldo,"
      "IF(QryContas.tipodesaldo='D','C','D'))";
// clang-format on

std::shared_ptr<ReportDefinition> makeRazao() {
  auto d = std::make_shared<ReportDefinition>("TF_Razao", "Escrivon - Razão Contábil",
                                              PageSetup::letter(Orientation::Landscape));
  d->queryName = "QryContas";
  // One group per account and fiscal year: the order starts with the fiscal year, and the
  // year in the key keeps an account's two years apart even when nothing lies between them.
  d->groupExpression = Expression("Copy(QryContas.anocontasmesdia,1,4)+"
                                  "QryContas.codigocontacontabil + QryContas.codigocontacorrente");

  Band& h = d->band(BandKind::ColumnHeader, 23.3);
  h.field(2.1, 2.1, "nomedaorganizacao").bold(14);
  h.label(173.6, 2.1, "CNPJ:").bold(14);
  h.field(192.1, 2.1, "cnpjdaorganizacao").bold(14);
  h.label(99.5, 10.6, "Razão Contábil").bold(18);
  const double captions = 18.0;
  h.label(0.0, captions, "Data").bold(8);
  h.label(14.8, captions, "Docto.").bold(8);
  h.label(25.4, captions, "Hist.").bold(8);
  h.label(33.9, captions, "Nome do Histórico").bold(8);
  h.label(122.2, captions, "Complemento do Histórico").bold(8);
  h.label(198.4, captions, "Valor").bold(8);
  h.label(206.9, captions, "D/C").bold(8);
  h.label(213.8, captions, "Saldo da Conta").bold(8);
  h.label(236.3, captions, "D/C").bold(8);
  h.rule(0.0, 22.0, 241.3);

  Band& gh = d->band(BandKind::GroupHeader, 5.3);
  const double gy = 1.0;
  gh.label(0.0, gy, "Código Cta. Contábil:");
  gh.field(27.8, gy, "CodigoContaContabil");
  gh.field(42.3, gy, "NomeContaContabil");
  gh.label(103.7, gy, "Conta Corrente:");
  gh.field(124.9, gy, "CodigoContaCorrente");
  gh.field(147.6, gy, "NomeContaCorrente");
  gh.label(197.4, gy, "Sdo. Anterior:");
  gh.expression(0, gy, razaoPreviousBalance).rightEdge(235.0).fixedWidth(19.1).amount();
  gh.expression(237.1, gy, razaoPreviousLetter).fixedWidth(13.0);

  Band& det = d->band(BandKind::Detail, 4.2);
  const double y = 0.4;
  det.field(0.0, y, "DataDaContabilizacao").date();
  det.field(15.1, y, "numerodocumento");
  det.field(25.4, y, "CodigoHistorico");
  det.field(33.9, y, "NomeHistorico").fixedWidth(80.7);
  det.field(122.8, y, "HistoricoComplementar").fixedWidth(61.1);
  det.field(0, y, "ValorLancamento").rightEdge(206.7).amount();
  det.field(207.2, y, "TipoDeLancamento");
  det.expression(0, y, absoluteBalance).rightEdge(235.8).fixedWidth(20.4).amount();
  det.field(237.1, y, "tiposaldoatual").fixedWidth(13.5);

  Band& gf = d->band(BandKind::GroupFooter, 5.8);
  const double fy = 0.6;
  gf.label(199.5, fy, "Saldo Atual:");
  gf.expression(0, fy, absoluteBalance).rightEdge(235.7).amount();
  gf.field(237.1, fy, "tiposaldoatual");
  gf.rule(0.0, 4.5, 241.0);

  d->standardPageFooter(6.3, "Página: ", "Escrivon-ZNK", 220.9, 241.0, 0.0);
  return d;
}

DialogForm selRelanForm() {
  DialogForm s;
  s.name = "TF_SelRelan";
  s.caption = "Razão Contábil";
  s.fields = {
      DialogField::range("Contas Contábeis: De", "EdCon", "EdConAte")
          .named("conta-de", "conta-ate"),
      DialogField::range("Correntes: De", "EdCor", "EdCorAte").named("corrente-de", "corrente-ate"),
      DialogField::range("Históricos: De", "EdHist", "EdHistAte")
          .named("historico-de", "historico-ate"),
      DialogField::range("Documentos: De", "EdDocto", "EdDoctoAte")
          .named("documento-de", "documento-ate"),
      DialogField::range("Datas Lancto.: De", "EdData", "EdDataAte").named("data-de", "data-ate"),
  };
  s.videoButton = "ButRVideo";
  s.printerButton = "ButRImpressora";
  s.closeButton = "ButRCancelar";
  return s;
}

bool buildRazaoQuery(QueryText& q, const ParamValues& v, Output output) {
  q.clear();
  // clang-format off
  q.add("SELECT cabecalh.nomedaorganizacao, cabecalh.cnpjdaorganizacao,lancamen.anocontasmesdia, lancamen.numerodocumento,lancamen.ordem,lancamen.codigocontacontabil, lancamen.codigocontacorrente,lancamen.codigohistorico, lancamen.datadacontabilizacao,lancamen.tipodelancamento, lancamen.valorlancamento,lancamen.historicocomplementar, lancamen.anocontasmesdia,lancamen.saldoatual, lancamen.tiposaldoatual,contas.nomecontacontabil, contas.nomecontacorrente,contas.tipodesaldo, historic.codigohistorico,historic.nomehistorico FROM cabecalh,lancamen,contas,historic");
  q.add(" WHERE lancamen.situacao='P'");
  q.add(" AND contas.niveldaconta='6'");
  q.add(" AND lancamen.codigocontacontabil+lancamen.codigocontacorrente=contas.codigocontacontabil+contas.codigocontacorrente AND lancamen.codigohistorico=historic.codigohistorico");
  // clang-format on
  addRange(q, " AND contas.codigocontacontabil BETWEEN '", " AND contas.codigocontacontabil='",
           v.value("EdCon"), v.value("EdConAte"), output == Output::Video);
  addRange(q, " AND contas.codigocontacorrente BETWEEN '", " AND contas.codigocontacorrente='",
           v.value("EdCor"), v.value("EdCorAte"));
  addRange(q, " AND lancamen.codigohistorico BETWEEN '", " AND historic.codigohistorico='",
           v.value("EdHist"), v.value("EdHistAte"));
  addRange(q, " AND lancamen.numerodocumento BETWEEN '", " AND lancamen.numerodocumento='",
           v.value("EdDocto"), v.value("EdDoctoAte"));
  if (!addDateRange(q, " AND lancamen.datadacontabilizacao BETWEEN '",
                    " AND lancamen.datadacontabilizacao='", v.value("EdData"),
                    v.value("EdDataAte")))
    return false;
  // clang-format off
  q.add(" GROUP BY cabecalh.nomedaorganizacao, cabecalh.cnpjdaorganizacao,lancamen.anocontasmesdia, lancamen.numerodocumento,lancamen.ordem,lancamen.codigocontacontabil, lancamen.codigocontacorrente,lancamen.codigohistorico, lancamen.datadacontabilizacao,lancamen.tipodelancamento, lancamen.valorlancamento,lancamen.historicocomplementar, lancamen.anocontasmesdia,lancamen.saldoatual, lancamen.tiposaldoatual,historic.nomehistorico, contas.nomecontacontabil,contas.nomecontacorrente, contas.tipodesaldo,historic.codigohistorico");
  // In the order posting computed the running balances: within a day, by document number.
  q.add("ORDER BY lancamen.anocontasmesdia, lancamen.numerodocumento, lancamen.ordem");
  // clang-format on
  return true;
}

void registerRazao(ReportRegistry& r) {
  ReportEntry e;
  e.id = "razao";
  e.button = "ButRLRazao";
  e.description = "Razão Contábil (TF_Razao)";
  e.dialog = selRelanForm();
  e.build = [](BuildContext& c, const ParamValues& v) {
    // "&Vídeo" leaves the journal in its primary order, as the journal page then shows it.
    // An entry half typed there is left alone: switching the order would have to store or
    // drop it, and only the journal's own save checks an entry.
    if (c.output == Output::Video) {
      Table* journal = c.dm.TbLancamen;
      if (journal->isOpen() && !journal->isEditing()) journal->setOrder(QString());
    }
    auto d = makeRazao();
    if (!buildRazaoQuery(d->query, v, c.output)) throw Refusal{invalidDataMessage};
    return Reports{d};
  };
  r.add(std::move(e));
}

} // namespace esc::report
