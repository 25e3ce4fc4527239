// The journal book TF_Diario: the chronological list of every journal entry.
#include "tf_Diario.h"

namespace esc::report {

std::shared_ptr<ReportDefinition> makeDiario() {
  auto d = std::make_shared<ReportDefinition>("TF_Diario", "Escrivon - Diário Contábil",
                                              PageSetup::letter(Orientation::Landscape));
  d->queryName = "QryDiario";
  // Processed or not, of any fiscal year: the book lists what was recorded.
  d->query.add("select lancamen.*, cabecalh.*, contas.nomecontacontabil, ");
  d->query.add("contas.nomecontacorrente, historic.nomehistorico from lancamen, ");
  d->query.add("cabecalh, contas, historic where lancamen.codigocontacontabil =");
  d->query.add("contas.codigocontacontabil and lancamen.codigocontacorrente=");
  d->query.add("contas.codigocontacorrente and lancamen.codigohistorico=");
  d->query.add("historic.codigohistorico ORDER BY lancamen.datadacontabilizacao");

  Band& h = d->band(BandKind::ColumnHeader, 23.3);
  h.field(0.0, 2.1, "NomeDaOrganizacao").bold(14);
  h.label(175.7, 2.1, "CNPJ:").bold(14);
  h.field(192.4, 2.1, "CNPJDaOrganizacao").bold(14);
  h.label(105.8, 8.5, "Diário Contábil").bold(18);
  const double captions = 18.0;
  h.label(2.1, captions, "Conta").bold(8);
  h.label(12.7, captions, "Nome da Conta Contábil").bold(8);
  h.label(55.0, captions, "Conta Corrente").bold(8);
  h.label(78.3, captions, "Nome Conta Corrente").bold(8);
  h.label(110.9, captions, "Data").bold(8);
  h.label(127.8, captions, "Hist.").bold(8);
  h.label(137.1, captions, "Nome Histórico").bold(8);
  h.label(179.4, captions, "Histórico Complementar").bold(8);
  h.label(215.6, captions, "Docto.").bold(8);
  h.label(225.7, captions, "D/C").bold(8);
  h.label(237.9, captions, "Valor").bold(8);
  h.rule(2.1, 22.0, 246.9);

  Band& det = d->band(BandKind::Detail, 4.8);
  const double y = 0.6;
  det.field(2.1, y, "CodigoContaContabil");
  det.field(12.7, y, "NomeContaContabil").fixedWidth(41.8);
  det.field(55.0, y, "CodigoContaCorrente");
  det.field(78.3, y, "NomeContaCorrente").fixedWidth(32.0);
  det.field(110.9, y, "DataDaContabilizacao").date();
  det.field(127.8, y, "CodigoHistorico");
  det.field(136.8, y, "nomehistorico").fixedWidth(42.1);
  det.field(179.4, y, "HistoricoComplementar").fixedWidth(34.9);
  det.field(215.1, y, "NumeroDocumento");
  det.field(226.5, y, "TipoDeLancamento");
  det.field(0, y, "ValorLancamento").rightEdge(246.6).amount();

  d->standardPageFooter(6.3, "Página: ", "Escrivon-ZNK", 228.9, 247.4);
  return d;
}

} // namespace esc::report
