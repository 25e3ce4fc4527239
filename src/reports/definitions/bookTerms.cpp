// The terms of the journal book, TF_TerAber and TF_TerFech, one body under two headings, and
// the book as it is filed: the journal between its terms.
#include "bookTerms.h"

#include "store/dataModule.h"
#include "tf_Diario.h"

namespace esc::report {

std::shared_ptr<ReportDefinition> makeTerm(const QString& name, const QString& heading,
                                           const FixedSource& cabecalh) {
  // No title: the terms are not previewed, and their print jobs bear no name.
  PageSetup page = PageSetup::a4(Orientation::Portrait);
  page.bottom = 12.7;
  auto d = std::make_shared<ReportDefinition>(name, QString(), page);
  d->fixedSources << cabecalh;

  Band& b = d->band(BandKind::Detail, 135.7);
  auto text = [&](double x, double y, const QString& s) -> Element& {
    return b.label(x, y, s).size(10);
  };
  auto field = [&](double x, double y, const QString& column) -> Element& {
    return b.field(x, y, "TbCabecalh." + column).size(10);
  };
  field(4.2, 6.3, "NomeDaOrganizacao").bold(14);
  text(4.2, 14.8, "CNPJ:").bold(14);
  field(23.3, 14.8, "CNPJDaOrganizacao").bold(14);
  text(63.5, 40.2, heading).bold(14);

  // Each piece of a line stands at its own place: a long value runs under the next piece.
  text(6.3, 57.1, "Contém este livro");
  b.expression(0, 57.1, "TbCabecalh.PaginaFinal+1-TbCabecalh.PaginaInicial")
      .centredIn(34.7, 8.7)
      .size(10);
  text(44.5, 57.1, "folhas numeradas eletronicamente de");
  field(0, 57.1, "PaginaInicial").centredIn(103.7, 8.2);
  text(112.7, 57.1, "a");
  field(0, 57.1, "PaginaFinal").centredIn(116.9, 8.7);
  text(126.2, 57.1, "e que");
  text(6.3, 63.5, "servirá de livro número");
  field(0, 63.5, "Livro").centredIn(42.3, 7.4);
  text(50.3, 63.5, "da firma");
  field(63.8, 63.5, "NomeDaOrganizacao");
  text(6.3, 69.8, "estabelecida à");
  field(29.6, 69.8, "EnderecoDaOrganizacao");
  text(86.8, 69.8, ",inscrita no CNPJ sob o número");
  field(6.3, 76.2, "CNPJDaOrganizacao");
  text(38.1, 76.2, ",registrada e com seus atos constitutivos devidamente registrados na");
  field(6.3, 82.5, "Registro");
  field(59.3, 91.0, "LocalData");

  field(0, 120.7, "NomeDoContador").centredOn(39.0);
  field(0, 127.0, "CargoDoContador").centredOn(39.0);
  field(0, 120.4, "ResponsavelOrganizacao").centredOn(123.0);
  field(0, 126.7, "CargoDoResponsavel").centredOn(123.0);
  return d;
}

std::shared_ptr<ReportDefinition> makeTerAber(const FixedSource& cabecalh) {
  return makeTerm("TF_TerAber", "Termo de Abertura", cabecalh);
}

std::shared_ptr<ReportDefinition> makeTerFech(const FixedSource& cabecalh) {
  return makeTerm("TF_TerFech", "Termo de Encerramento", cabecalh);
}

Reports journalBook(TDEscrivon& dm, Output output) {
  if (output == Output::Video) return {makeDiario()};
  const FixedSource cabecalh = recordOf(*dm.TbCabecalh, "TbCabecalh");
  return {makeTerAber(cabecalh), makeDiario(), makeTerFech(cabecalh)};
}

// Both buttons open TF_SelTermo, a dialog of its own (see the Relatórios page).
void registerJournalBook(ReportRegistry& r) {
  ReportEntry diario;
  diario.id = "diario";
  diario.button = "ButRLDiario";
  diario.description = "Diário Contábil (TF_Diario); com --livro ou --impressora, entre os termos "
                       "de abertura e encerramento (TF_TerAber, TF_TerFech)";
  diario.build = [](BuildContext& c, const ParamValues&) { return journalBook(c.dm, c.output); };
  r.add(diario);

  ReportEntry termos;
  termos.id = "termos";
  termos.button = "ButRlTermos";
  termos.description = "Termos de Abertura e Encerramento (TF_TerAber, TF_TerFech)";
  termos.build = [](BuildContext& c, const ParamValues&) {
    const FixedSource cabecalh = recordOf(*c.dm.TbCabecalh, "TbCabecalh");
    return Reports{makeTerAber(cabecalh), makeTerFech(cabecalh)};
  };
  r.add(std::move(termos));
}

} // namespace esc::report
