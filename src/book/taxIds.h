#pragma once
#include <QString>

namespace esc::book {

// The digits of a registration number typed with or without its mask ("11.222.333/0001-81"
// gives "11222333000181").
QString digitsOf(const QString& text);

// Whether `digits` (the number without its mask) is a CNPJ of 14 digits, or a CPF of 11,
// whose two check digits are right. A number of one repeated digit is refused: its check
// digits work out, but the registries never issue it.
bool validCnpj(const QString& digits);
bool validCpf(const QString& digits);

} // namespace esc::book
