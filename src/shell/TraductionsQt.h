// Qt's own dialogs (print, page set-up, file) and the standard buttons in French, as everything else the
// programs show.
#pragma once

namespace kip {

// Installs Qt's French translations from the system's Qt (Debian's qt6-translations-l10n) on the running
// application, whatever the user's language. False when they are not there: the dialogs then stay in English.
bool installerTraductionsQt();

} // namespace kip
