// What a report is asked for: the choices of the report selection, handed to every report procedure, and
// the program's time unit of the reports.
#pragma once

#include <QString>

namespace kip {

// Reading order and range of the employees: by card number, by name or by matricule.
enum class Tri : char
{
    Numero = 'N',
    Nom = 'A',
    Matricule = 'M'
};

struct ParametresEdition
{
    QString NOMEDITION; // the report's title, printed in its page header
    Tri tri = Tri::Numero;
    QString nomDebut, nomFin;             // 20 characters
    QString matriculeDebut, matriculeFin; // 10 characters
    qint16 carteDebut = 0, carteFin = 0;
    qint32 dateDebut = 0, dateFin = 0;
    bool centiemes = false; // EditionCentiemes when the report started
};

// EditionCentiemes: hours and hundredths (true) or hours and minutes (false) in every report. It lives for
// the whole run of the program, so that the next report selection opens on the last choice.
bool EditionCentiemes();
void setEditionCentiemes(bool centiemes);

} // namespace kip
