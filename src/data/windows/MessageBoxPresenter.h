// Messages as modal message boxes and file questions as file dialogs, on the GUI thread whichever thread
// asks; and the progress window of the key rebuild. Installed by the programs that have a display.
#pragma once

#include "data/Messages.h"

namespace kip {

class MessageBoxPresenter : public MessagePresenter
{
public:
    int show(const MessageSpec& spec) override;
    std::optional<QString> askSaveFile(const SaveFileQuestion& question) override;
};

// Installs the message boxes and the rebuild's progress window for the whole program.
void installerPresentationFenetres();

} // namespace kip
