#pragma once
#include <QString>

// What several pages say in the same words, written once so that they stay the same.
namespace esc::book::text {

inline const QString noYearSelected = QStringLiteral(
    "Não foi selecionado exercício o financeiro para o qual o sistema estará atuando.");
// The hint of "Dados para o SPED", on the Organização and Atualizações pages alike.
inline const QString spedDataHint =
    QStringLiteral("Dados da organização e dos signatários que a ECD pede");
inline const QString confirmDelete = QStringLiteral("Confirma a exclusão do registro?");
inline const QString fieldCannotChange =
    QStringLiteral("Este campo não pode ser alterado. Operação cancelada.");
inline const QString processedHint = QStringLiteral("(P)=Processado - (  )-Nao processado");

// The checks of a journal entry, as Lançamentos and Documentos say them.
inline const QString entryProcessed =
    QStringLiteral("Lançamento já foi processado. Não pode ser alterado. Cancele a operação.");
inline const QString accountSixDigits =
    QStringLiteral("Código da conta contábil tem de ter 6 dígitos.");
inline const QString accountThreeDigits =
    QStringLiteral("Código da conta contábil tem de ter pelo menos 3 dígitos.");
inline const QString historicoFourDigits =
    QStringLiteral("Código do histórico tem de ter 4 dígitos.");
inline const QString entryTypeDC =
    QStringLiteral("Tipo de lançamento só pode ser D (Débito) ou C (Crédito).");
inline const QString dateEightCharacters =
    QStringLiteral("Data de lançamento tem de ter 8 caracteres.");
inline const QString amountAboveZero =
    QStringLiteral("Valor do lançamento tem de ter maior que zero.");
inline const QString currentAccountUnknown =
    QStringLiteral("Conta corrente não cadastrada para a conta contábil.");
inline const QString historicoUnknown = QStringLiteral("Histórico não cadastrado.");

} // namespace esc::book::text
