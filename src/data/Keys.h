// The keys of the record files: an index over fields in order; a unique key is a UNIQUE index.
#pragma once

#include "Records.h"

#include <array>
#include <span>

namespace kip {

struct KeyDecl
{
    const char* name;     // the key's name in the file, "K_CARTE_DATE"
    const char* fullName; // the name with the file's prefix, "POV:K_CARTE_DATE"
    std::array<const char*, 4> fields;
    int count;
    bool unique;
    // A unique key over a staff number leaves blank numbers out, so that employees without one can coexist.
    bool skipBlankMatricule = false;
};

inline constexpr KeyDecl PER_K_CARTE{"K_CARTE", "PER:K_CARTE", {"CARTE"}, 1, true};
inline constexpr KeyDecl PER_K_NOM_PRENOM{"K_NOM_PRENOM", "PER:K_NOM_PRENOM", {"NOM", "PRENOM"}, 2, true};
inline constexpr KeyDecl PER_K_MATRICULE{"K_MATRICULE", "PER:K_MATRICULE", {"MATRICULE"}, 1, true, true};
inline constexpr KeyDecl PER_K_RELATION_POINTVAL{
    "K_RELATION_POINTVAL", "PER:K_RELATION_POINTVAL", {"CARTE", "NOM", "PRENOM", "MATRICULE"}, 4, false};

inline constexpr KeyDecl POV_K_CARTE_DATE{"K_CARTE_DATE", "POV:K_CARTE_DATE", {"CARTE", "DATE"}, 2, true};
inline constexpr KeyDecl POV_K_DATE_CARTE{"K_DATE_CARTE", "POV:K_DATE_CARTE", {"DATE", "CARTE"}, 2, true};
inline constexpr KeyDecl POV_K_NOM_DATE{"K_NOM_DATE", "POV:K_NOM_DATE", {"NOM", "PRENOM", "DATE"}, 3, true};
inline constexpr KeyDecl POV_K_DATE_NOM{"K_DATE_NOM", "POV:K_DATE_NOM", {"DATE", "NOM", "PRENOM"}, 3, true};
inline constexpr KeyDecl POV_K_MAT_DATE{"K_MAT_DATE", "POV:K_MAT_DATE", {"MATRICULE", "DATE"}, 2, true, true};
inline constexpr KeyDecl POV_K_DATE_MAT{"K_DATE_MAT", "POV:K_DATE_MAT", {"DATE", "MATRICULE"}, 2, true, true};
inline constexpr KeyDecl POV_K_RELATION_PERSONNEL{
    "K_RELATION_PERSONNEL", "POV:K_RELATION_PERSONNEL", {"CARTE", "NOM", "PRENOM", "MATRICULE"}, 4, false};

template <class R> std::span<const KeyDecl> keysOf()
{
    return {};
}

template <> inline std::span<const KeyDecl> keysOf<Personnel>()
{
    static constexpr KeyDecl keys[] = {PER_K_CARTE, PER_K_NOM_PRENOM, PER_K_MATRICULE, PER_K_RELATION_POINTVAL};
    return keys;
}

template <> inline std::span<const KeyDecl> keysOf<PointVal>()
{
    static constexpr KeyDecl keys[] = {POV_K_CARTE_DATE, POV_K_DATE_CARTE, POV_K_NOM_DATE,          POV_K_DATE_NOM,
                                       POV_K_MAT_DATE,   POV_K_DATE_MAT,   POV_K_RELATION_PERSONNEL};
    return keys;
}

} // namespace kip
