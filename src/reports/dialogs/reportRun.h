#pragma once
// The two outputs of a report run: the preview window ("&Vídeo") and the default printer
// ("&Impressora"), and the run of a registered report from its dialog's values.
#include "reports/engine/layout.h"
#include "reports/engine/registry.h"

#include <QPointer>
#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace esc {
class Database;
class Ui;
class MainContext;
} // namespace esc

namespace esc::report {

class PreviewWindow;

inline const QString noPrinterMessage = QStringLiteral("Nenhuma impressora disponível.");
QString printFailedMessage(const QString& title);

// Where "&Impressora" prints. By default the system's default printer (none: nullptr);
// tests put a PDF writer here.
using PrinterFactory = std::function<std::unique_ptr<QPagedPaintDevice>(const QString& title)>;
void setPrinterFactory(PrinterFactory factory); // {} restores the default printer
std::unique_ptr<QPagedPaintDevice> makePrinter(const QString& title);

// Lays out every page and opens the preview window (maximized, not modal; it deletes itself
// when closed). The store's error for a rejected query propagates.
PreviewWindow* preview(ReportDefinition& def, Database& db, Ui& ui, QWidget* parent = nullptr);

// Sends a report straight to the printer: one job named by its title, all pages, a progress
// window, no printer dialog. With no printer it says noPrinterMessage and returns false; a
// printer that fails is said in an error box.
bool print(ReportDefinition& def, Database& db, Ui& ui, QWidget* parent = nullptr);
// Pages already laid out, to `device` (the preview's printer) or the default printer.
bool printPages(const QVector<Page>& pages, const QString& title, QPagedPaintDevice* device, Ui& ui,
                QWidget* parent = nullptr);

// One click of a report's button or dialog: builds the reports from `values` and sends each
// to `output`. A refusal is said as a plain message, a store error as an error box; nothing
// escapes into the caller's event handler. Returns the preview windows opened.
QVector<QPointer<PreviewWindow>> run(MainContext& ctx, const ReportEntry& entry,
                                     const ParamValues& values, Output output,
                                     QWidget* parent = nullptr);

} // namespace esc::report
