#pragma once

#include <functional>

namespace fx::query {

class TcxjgDlg1;

// "打印…" of the results window opens the report printing dialog (asset query) or the paper
// dialog and the list report (the other kinds). Those live with the reports, which read what
// they need from the window (columnList(), queryText(), kind(), reportTitle()); the program
// installs the handler once at start-up. Without a handler the button stays disabled.
using PrintHandler = std::function<void(TcxjgDlg1& window)>;
void setPrintHandler(PrintHandler handler);
const PrintHandler& printHandler();

// "批量调拨" transfers the selected assets of an asset query (selectedRows(), table()); the
// transfer dialog lives with the movements and is installed the same way. Without a handler
// the button stays hidden whatever the user's rights.
using BatchTransferHandler = std::function<void(TcxjgDlg1& window)>;
void setBatchTransferHandler(BatchTransferHandler handler);
const BatchTransferHandler& batchTransferHandler();

}  // namespace fx::query
