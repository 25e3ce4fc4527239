#pragma once
#include "store/operationResult.h"

#include <QByteArray>
#include <QString>

namespace esc {

class Database;

// Entries from a spreadsheet saved as CSV become new unprocessed documents.
//
// The first line names the columns, in any order: data, conta, corrente, dc, valor and
// historico, and optionally documento and complemento. The separator (";" or ",") is the one
// the header uses; the decimal mark (comma or dot) is the one the file's amounts show; the
// text is UTF-8 or Windows-1252. Lines with the same `documento` make one document (the column
// only groups: every document gets a new number); lines whose `documento` is blank make one
// document per run of lines that balance, in the file's order.
//
// Every line meets the checks of an entry typed on the journal pages and every document those
// of processing. Any failure refuses the whole file, the message naming every bad line
// ("linha 17, coluna valor: '12,3,4' não é um valor válido."), and nothing is written.
//
// `year`: the selected fiscal year; "" takes the year of the file's first date (the command
// line has no selected year). Done: the figures of ImportedDocuments::write.
OperationResult importCsvFile(Database& db, const QString& year, const QString& path,
                              Progress& progress);
OperationResult importCsv(Database& db, const QString& year, const QByteArray& data,
                          Progress& progress);

} // namespace esc
