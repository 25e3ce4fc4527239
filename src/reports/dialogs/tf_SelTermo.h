#pragma once
#include "reportDialog.h"
#include "reports/engine/registry.h"

namespace esc {
class DBEdit;
class MainContext;
} // namespace esc

namespace esc::report {

// The dialog of the journal book and its terms, opened by "&Diário Contábil" and by
// "&Abertura/Encerramento". Its boxes are bound to the organization record and edit it in
// place: "&Vídeo" and "&Impressora" save a pending edit first, so the terms print what the
// dialog shows; "&Encerrar" leaves it pending for the organization page to save or cancel.
class TF_SelTermo : public ReportDialog {
  Q_OBJECT
public:
  TF_SelTermo(MainContext& ctx, QWidget* parent = nullptr);

  // One click of "&Vídeo" or "&Impressora".
  void produce(Output output);

private:
  MainContext& ctx_;
};

// Opens a new TF_SelTermo (modal, deleted when closed).
TF_SelTermo* openSelTermo(QWidget* parent, MainContext& ctx);

} // namespace esc::report
