// The choices that kiptool's report, export and journal commands share: the period, the order, the range of
// employees and the time unit, read from the command line; the installation that they read; and the report
// parameters built from them as the report selection builds them, so that a command and the window give the
// same report for the same choices.
#pragma once

#include "Commandes.h"
#include "data/Database.h"
#include "data/Files.h"
#include "reports/Editions.h"
#include "reports/ParametresEdition.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <optional>

namespace kip::outil {

std::optional<qint32> lireDate(const QString& texte); // DD/MM/YYYY

struct ChoixEdition
{
    qint32 debut = 0, fin = 0;
    Tri tri = Tri::Numero;
    std::optional<QString> premier, dernier; // --range, either side may be missing
    bool centiemes = false;
    QString fichier;    // the output file, absolute
    QString repertoire; // the installation, absolute
};

// The options that the commands share; each command adds its own.
struct OptionsEdition
{
    QCommandLineOption depuis{QStringLiteral("from"), QString(), QStringLiteral("date")};
    QCommandLineOption jusqua{QStringLiteral("to"), QString(), QStringLiteral("date")};
    QCommandLineOption tri{QStringLiteral("sort"), QString(), QStringLiteral("mode"), QStringLiteral("N")};
    QCommandLineOption etendue{QStringLiteral("range"), QString(), QStringLiteral("premier:dernier")};
    QCommandLineOption centiemes{QStringLiteral("hundredths")};
    QCommandLineOption dir{QStringLiteral("dir"), QString(), QStringLiteral("chemin")};
    QCommandLineOption aide{QStringList{QStringLiteral("help"), QStringLiteral("h")}};
    void ajouter(QCommandLineParser& args) const
    {
        args.addOptions({depuis, jusqua, tri, etendue, centiemes, dir, aide});
    }
};

// Reads the shared choices and the output file of option `sortie`; the text of the refusal, or nothing.
// With periodeDemandee, --from and --to must be given.
std::optional<QString> lireChoix(const QCommandLineParser& args, const OptionsEdition& o,
                                 const QCommandLineOption& sortie, bool periodeDemandee,
                                 const QString& repertoireCourant, ChoixEdition& choix);

// The installation named by the choices: its paths, or the text of the refusal. The files are checked.
std::optional<QString> installation(const ChoixEdition& choix, std::initializer_list<FileId> fichiers, Paths& chemins);

// What must hold before kiptool reads an installation: no restore left halfway (settled here when no program
// holds the data, refused while one does), and a journal of corrections that is not damaged. The French text
// of the refusal (exit 1), or nothing.
std::optional<QString> donneesLisibles(const Paths& chemins);

// The parameters of the report `edition` for the choices, read on db inside the caller's read transaction;
// false when PERSONNEL holds no employee.
bool parametresEdition(Database& db, const DefinitionEdition& edition, const ChoixEdition& choix, ParametresEdition& p);

} // namespace kip::outil
