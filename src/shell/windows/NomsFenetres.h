// The procedure names under which the windows register in the open-window list. The bar chooses its
// buttons by them and windows find each other by them, so each is written once, here.
#pragma once

#include <QLatin1StringView>

namespace kip::nom {

inline constexpr QLatin1StringView FenetreSommaire{"FenetreSommaire"};
inline constexpr QLatin1StringView FenetrePrincipale{"FenetrePrincipale"};
inline constexpr QLatin1StringView TablePointage{"TablePointage"};
inline constexpr QLatin1StringView CorrectionPointage{"CorrectionPointage"};
inline constexpr QLatin1StringView TablePersonnel{"TablePersonnel"};
inline constexpr QLatin1StringView SaisiePersonnel{"SaisiePersonnel"};
inline constexpr QLatin1StringView SaisieParametre{"SaisieParametre"};
inline constexpr QLatin1StringView TransfertOrigine{"TransfertOrigine"};
inline constexpr QLatin1StringView InitialiseJournee{"InitialiseJournee"};
inline constexpr QLatin1StringView Utilitaires{"Utilitaires"};
inline constexpr QLatin1StringView Impression{"Impression"};
inline constexpr QLatin1StringView Absences{"FenetreAbsences"};
inline constexpr QLatin1StringView TypesAbsence{"TypesAbsence"};
inline constexpr QLatin1StringView Soldes{"FenetreSoldes"};

} // namespace kip::nom
