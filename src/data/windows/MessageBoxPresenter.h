// Messages as modal message boxes and file questions as file dialogs, on the GUI thread whichever thread
// asks; dates and weeks with the day and week pickers over the window that asks; and the progress window of
// the key rebuild. Installed by the programs that have a display.
#pragma once

#include "data/Messages.h"

namespace kip {

class MessageBoxPresenter : public MessagePresenter
{
public:
    int show(const MessageSpec& spec) override;
    std::optional<QString> askSaveFile(const SaveFileQuestion& question) override;
    std::optional<qint32> askDate(qint32 date, QObject* asker) override;
    std::optional<Semaine> askWeek(const Semaine& week, QObject* asker) override;
};

// Installs the message boxes and the rebuild's progress window for the whole program.
void installerPresentationFenetres();

} // namespace kip
