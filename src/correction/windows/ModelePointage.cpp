#include "ModelePointage.h"

#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "correction/BornesPointage.h"
#include "data/Cp1252.h"

namespace kip {

ModelePointage::ModelePointage(QObject* parent)
    : ModelePage<PointVal>(parent), m_groupes(groupes(OrdrePointage::DateCarte))
{
}

std::array<ModelePointage::Groupe, ModelePointage::NombreGroupes> ModelePointage::groupes(OrdrePointage ordre)
{
    switch (ordre) {
    case OrdrePointage::DateCarte:
        return {Date, Numero, NomPrenom, Matricule, Total};
    case OrdrePointage::CarteDate:
        return {Numero, NomPrenom, Date, Matricule, Total};
    case OrdrePointage::DateNom:
        return {Date, NomPrenom, Numero, Matricule, Total};
    case OrdrePointage::NomDate:
        return {NomPrenom, Numero, Date, Matricule, Total};
    }
    return {Date, Numero, NomPrenom, Matricule, Total};
}

void ModelePointage::changerOrdre(OrdrePointage ordre, const std::vector<PointVal>& lignes)
{
    beginResetModel();
    m_groupes = groupes(ordre);
    m_lignes = lignes;
    endResetModel();
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, NombreGroupes - 1);
}

QString ModelePointage::titre(Groupe groupe)
{
    switch (groupe) {
    case Date:
        return QStringLiteral("Date");
    case Numero:
        return QStringLiteral("N°");
    case NomPrenom:
        return QStringLiteral("Nom et Prénom");
    case Matricule:
        return QStringLiteral("Matricule");
    case Total:
        return QStringLiteral("Total");
    case NombreGroupes:
        break;
    }
    return {};
}

QString ModelePointage::texte(const PointVal& v, Groupe groupe)
{
    switch (groupe) {
    case Date:
        return NomJour(v.DATE).left(3) + QStringLiteral("  ") + DateTexte(v.DATE);
    case Numero:
        return TexteCarte(v.CARTE);
    case NomPrenom:
        return clipField(v.NOM, 20) + QStringLiteral("  ") + clipField(v.PRENOM, 15);
    case Matricule:
        return clipField(v.MATRICULE, 10);
    case Total:
        // The day total as hours and minutes (8.30 is eight hours thirty), blank when zero.
        return v.TOTAL == 0 ? QString() : HeureTexte(v.TOTAL).trimmed();
    case NombreGroupes:
        break;
    }
    return {};
}

int ModelePointage::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : NombreGroupes;
}

QVariant ModelePointage::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= NombreGroupes)
        return {};
    const Groupe g = m_groupes[size_t(index.column())];
    if (role == Qt::TextAlignmentRole)
        return g == Numero || g == Total ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                         : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    return texte(ligne(index.row()), g);
}

QVariant ModelePointage::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= NombreGroupes)
        return {};
    return titre(m_groupes[size_t(section)]);
}

} // namespace kip

#include "moc_ModelePointage.cpp"
