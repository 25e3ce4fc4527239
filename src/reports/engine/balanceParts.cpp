#include "balanceParts.h"

namespace esc::report {

void balanceCaptions(Band& h, double y, const BalanceColumns& x) {
  h.label(x.opening, y, "Saldo Anterior").bold(8);
  h.label(x.openingLetter, y, "D/C").bold(8);
  h.label(x.debit, y, "Valor Débitos").bold(8);
  h.label(x.credit, y, "Valor Créditos").bold(8);
  h.label(x.closing, y, "Saldo Atual").bold(8);
  h.label(x.closingLetter, y, "D/C").bold(8);
}

void balanceFields(Band& det, double y, const BalanceColumns& x) {
  det.field(0, y, "SaldoAnterior").rightEdge(x.opening).amount();
  det.field(x.openingLetter, y, "TipoSaldoAnterior");
  det.field(0, y, "ValorDebito").rightEdge(x.debit).amount();
  det.field(0, y, "ValorCredito").rightEdge(x.credit).amount();
  det.field(0, y, "SaldoAtual").rightEdge(x.closing).amount();
  det.field(x.closingLetter, y, "TipoSaldoAtual");
}

void balanceTotals(Band& s, double y, const QString& source, const BalanceTotals& x) {
  auto sum = [&](const char* column, double edge) {
    s.expression(0, y, "SUM(" + source + "." + column + ")").rightEdge(edge).amount().bold(8);
  };
  sum("SaldoAnterior", x.opening);
  sum("ValorDebito", x.debit);
  sum("ValorCredito", x.credit);
  sum("SaldoAtual", x.closing);
}

void signatureBlock(Band& s, double y) {
  const double title = y + 3.2;
  s.field(0, y, "NomeDoContador").centredOn(26.0).bold(8);
  s.field(0, title, "CargoDoContador").centredOn(26.0).bold(8);
  s.field(0, y, "ResponsavelOrganizacao").centredOn(88.0).bold(8);
  s.field(0, title, "CargoDoResponsavel").centredOn(88.0).bold(8);
}

} // namespace esc::report
