// The rules of the employee form that need no window: a new employee's defaults, the bounds of tolerance and
// offset that follow the rounding choice, the matricule default, the time texts of the midnight shift and
// the day extension, the list of inactivity periods, and the checks every field passes before the record
// reaches the file.
#pragma once

#include "data/Records.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace kip {

constexpr int CarteMin = 1;
constexpr int CarteMax = 9999;
constexpr int ToleranceMax = 15;           // minutes
constexpr int DecalageMax = 59;            // minutes
constexpr int DecalageMinuitMax = 720;     // 12.00
constexpr int ExtensionMax = 840;          // 14.00
constexpr int PeriodesMax = 10;            // inactivity periods of a record
constexpr int LongueurNom = 20;            // PER:NOM
constexpr int LongueurPrenom = 15;         // PER:PRENOM
constexpr int LongueurMatricule = 10;      // PER:MATRICULE
constexpr int LongueurHeure = 5;           // a time text, "12.00"
constexpr int NombreParDefaut = 4;         // punches per day of a new employee
constexpr int AutorisationsTerminaux = 16; // PER:AUTORISATION

// A new employee as the form fills it: card 1, 4 punches, no rounding, first and last day today and
// tomorrow, hired today until 31/12/2099, accepted at every terminal.
Personnel nouvelEmploye(qint32 aujourdhui);

enum class Cote
{
    Entree,
    Sortie
};

// Upper bounds of a side's tolerance and offset under a rounding code: 0 and 0 without rounding ("00"),
// N - 1 and 59 for a step N of 5 to 15 minutes, 15 and 59 otherwise.
struct BornesArrondi
{
    int tolerance = ToleranceMax;
    int decalage = DecalageMax;
};
BornesArrondi bornesArrondi(const QString& code);

// Sets a side's rounding code and brings its tolerance and offset within the code's bounds.
void choisirArrondi(Personnel& employe, Cote cote, const QString& code);

// The matricule a blank one becomes: the card in 10 digits with leading zeros (42 gives 0000000042).
QString matriculeParDefaut(qint16 carte);
// A new employee's matricule once its card is accepted: a blank one, or the default made earlier (`fait`, from
// the card as it was then), becomes the card's default; one the user typed stays.
QString matriculeApresCarte(const QString& matricule, const QString& fait, qint16 carte);

// A time text of the midnight shift or the day extension: hours, a point, minutes 00 to 59, at most max.
struct DureeLue
{
    bool valide = false;
    qint16 minutes = 0;
    QString raison; // why it was refused, in French
};
DureeLue lireDuree(QStringView texte, int maxMinutes);

// An inactivity period, both days included.
struct Periode
{
    qint32 debut = 0;
    qint32 fin = 0;
    friend bool operator==(const Periode&, const Periode&) = default;
};

// The stored periods whose start and end are both set, latest end first (then latest start).
QList<Periode> periodesDe(const Personnel& employe);
void trierPeriodes(QList<Periode>& periodes);
// Adds a period in its place; with an eleventh period the oldest one goes.
void ajouterPeriode(QList<Periode>& periodes, const Periode& periode);
// Clears the ten stored periods and copies the list into them, in list order.
void rangerPeriodes(Personnel& employe, const QList<Periode>& periodes);

// Puts two days in order; true when they were swapped.
bool ordonnerDates(qint32& premier, qint32& dernier);

// The fields of the form, for saying which one refused its value.
enum class Champ
{
    Aucun,
    Carte,
    Nom,
    Prenom,
    Matricule,
    ArrondiEntree,
    ArrondiSortie,
    ToleranceEntree,
    ToleranceSortie,
    DecalageEntree,
    DecalageSortie,
    ArrondiSemaine,
    DecalageMinuit,
    Extension,
    Nombre,
    DateEmbauche,
    DateDebauche,
    Periodes
};

struct Refus
{
    Champ champ = Champ::Aucun;
    QString raison; // in French
    bool accepte() const { return champ == Champ::Aucun; }
};

// The bounds in force in the form when it checks the record.
struct BornesFiche
{
    BornesArrondi entree;
    BornesArrondi sortie;
};

// A text field: at most its length, and only characters that the file's code page holds.
Refus verifierTexte(Champ champ, const QString& texte);
// Every field within its range; the first field that is not, and why.
Refus verifierFiche(const Personnel& employe, const BornesFiche& bornes);

// The description of a unique key of PERSONNEL, as message 24 names it ("PER:K_NOM_PRENOM" gives
// "Clé sur nom et prénom").
QString descriptionCle(const QString& cle);

} // namespace kip
