#include "reportModel.h"

namespace esc::report {

PageSetup PageSetup::letter(Orientation o) {
  PageSetup p;
  p.paper = {215.9, 279.4};
  p.orientation = o;
  return p;
}

PageSetup PageSetup::a4(Orientation o) {
  PageSetup p;
  p.paper = {210.0, 297.0};
  p.orientation = o;
  return p;
}

QSizeF PageSetup::size() const {
  return orientation == Orientation::Portrait ? paper : paper.transposed();
}

Element& Element::rightEdge(double edge) {
  align = Align::Right;
  if (!fixed) width = 0;
  left = edge - width;
  return *this;
}

Element& Element::centredOn(double centre) {
  align = Align::Center;
  width = 0;
  left = centre;
  return *this;
}

Element& Element::centredIn(double l, double w) {
  align = Align::Center;
  left = l;
  width = w;
  return *this;
}

Element& Element::fixedWidth(double w) {
  // A right-aligned element keeps its right edge.
  if (align == Align::Right) left = left + width - w;
  fixed = true;
  width = w;
  return *this;
}

namespace {

// An element of `kind` whose box starts at (x, y) of its band.
Element at(Element::Kind kind, double x, double y) {
  Element e;
  e.kind = kind;
  e.left = x;
  e.top = y;
  return e;
}

} // namespace

Element& Band::add(Element e) {
  elements << std::move(e);
  return elements.last();
}

Element& Band::label(double x, double y, const QString& text) {
  Element e = at(Element::Kind::Label, x, y);
  e.text = text;
  return add(std::move(e));
}

Element& Band::field(double x, double y, const QString& column) {
  Element e = at(Element::Kind::Field, x, y);
  e.expr = Expression::column(column);
  return add(std::move(e));
}

Element& Band::expression(double x, double y, const QString& expression) {
  Element e = at(Element::Kind::Expression, x, y);
  e.expr = Expression(expression);
  return add(std::move(e));
}

Element& Band::system(double x, double y, const QString& prefix, SystemValue value) {
  Element e = at(Element::Kind::System, x, y);
  e.text = prefix;
  e.system = value;
  return add(std::move(e));
}

Element& Band::rule(double x, double y, double length, double thickness) {
  Element e = at(Element::Kind::Rule, x, y);
  e.width = length;
  e.height = thickness;
  e.fixed = true;
  return add(std::move(e));
}

Band& ReportDefinition::band(BandKind kind, double height) {
  if (Band* b = find(kind)) return *b;
  Band b;
  b.kind = kind;
  b.height = height;
  bands.push_back(b);
  return bands.back();
}

const Band* ReportDefinition::find(BandKind kind) const {
  for (const Band& b : bands)
    if (b.kind == kind) return &b;
  return nullptr;
}

Band* ReportDefinition::find(BandKind kind) {
  for (Band& b : bands)
    if (b.kind == kind) return &b;
  return nullptr;
}

Band& ReportDefinition::standardPageFooter(double height, const QString& pagePrefix,
                                           const QString& signature, double signatureX,
                                           double ruleLength, double pageX, double pagePoints) {
  Band& f = band(BandKind::PageFooter, height);
  f.rule(0.0, 0.0, ruleLength);
  f.system(pageX, 1.3, pagePrefix, SystemValue::PageNumber).size(pagePoints);
  f.system(28.0, 1.3, QStringLiteral("Hora: "), SystemValue::Time);
  f.system(55.0, 1.3, QStringLiteral("Data: "), SystemValue::Date);
  if (!signature.isEmpty()) f.label(signatureX, 1.3, signature);
  return f;
}

} // namespace esc::report
