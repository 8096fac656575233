#include "EnregistrementParametre.h"

#include "data/Employees.h"
#include "data/Messages.h"
#include "data/Pack.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

namespace kip {

Parametre ParametreParDefaut()
{
    Parametre p;
    p.MESSAGEGENERALDEFAUT = QStringLiteral("Bonjour, glissez votre carte ...");
    p.TERMINAL[0] = 1;
    p.IDENTIFICATION[0] = QStringLiteral("Pointeuse Locale");
    p.USEMESSAGEDEFAUT.fill(1);
    p.AFFICHAGELIGNE1 = QStringLiteral("D");
    p.AFFICHAGELIGNE2 = QStringLiteral("N");
    p.TABCORRECTION = 1;
    p.TABPERSONNEL = 1;
    return p;
}

bool SaisieParametres::modifie() const
{
    return insertion || pack(enregistrement) != pack(lu);
}

FileError LireParametres(Database& db, SaisieParametres& saisie)
{
    RecordFile<Parametre> fichier(db);
    FileError e = fichier.open();
    Parametre lu;
    if (e.ok())
        e = fichier.first(lu);
    if (e.ok()) {
        saisie.insertion = false;
        saisie.lu = lu;
        saisie.enregistrement = lu;
        return {};
    }
    saisie.insertion = true;
    saisie.lu = Parametre{};
    saisie.enregistrement = ParametreParDefaut();
    return e.code == EndOfFile ? FileError{} : e;
}

namespace {

ResultatParametres ajouter(Database& db, SaisieParametres& saisie)
{
    Transaction t(db, {FileId::Parametre});
    if (!t.ok()) {
        Message(14, t.error());
        return ResultatParametres::Echec;
    }
    RecordFile<Parametre> fichier(db);
    // The file holds one record: when another station created it since the form opened, its record wins,
    // as an update that comes second does.
    Parametre autre;
    if (const FileError e = fichier.first(autre); e.ok()) {
        t.rollback();
        saisie = {autre, autre, false};
        Message(15, makeError(ChangedElsewhere), QStringLiteral("PARAMETRE"));
        return ResultatParametres::ModifieAilleurs;
    } else if (e.code != EndOfFile) {
        t.rollback();
        Message(14, e);
        return ResultatParametres::Echec;
    }
    Parametre nouveau = saisie.enregistrement;
    FileError e = fichier.add(nouveau);
    if (e.ok())
        e = t.commit();
    if (!e.ok()) {
        t.rollback();
        Message(14, e);
        return ResultatParametres::Echec;
    }
    saisie = {nouveau, nouveau, false};
    return ResultatParametres::Enregistre;
}

} // namespace

ResultatParametres EnregistrerParametres(Database& db, SaisieParametres& saisie)
{
    if (saisie.insertion)
        return ajouter(db, saisie);
    if (!saisie.modifie())
        return ResultatParametres::Enregistre;
    Parametre p = saisie.enregistrement;
    p.rowid = saisie.lu.rowid;
    p.version = saisie.lu.version;
    const FileError e = updateSettings(db, p);
    if (!e.ok() && e.code != ChangedElsewhere)
        return ResultatParametres::Echec;
    // On a change by another station the stored record, re-read by the update, is what the form shows now.
    saisie.enregistrement = saisie.lu = p;
    return e.ok() ? ResultatParametres::Enregistre : ResultatParametres::ModifieAilleurs;
}

} // namespace kip
