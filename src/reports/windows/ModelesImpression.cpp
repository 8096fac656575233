// The lists of the report selection.
#include "ModelesImpression.h"

#include "reports/Editions.h"
#include "reports/LectureJournees.h"

namespace kip {

int ModeleEditions::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(definitionsEditions().size());
}

int ModeleEditions::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant ModeleEditions::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() != 0)
        return {};
    const DefinitionEdition& e = definitionsEditions()[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return e.NOMEDITION;
    case Qt::UserRole:
        return e.CONTROLEEDITION;
    default:
        return {};
    }
}

ModeleEmployes::ModeleEmployes(Ordre ordre, QObject* parent) : QAbstractTableModel(parent), m_ordre(ordre) {}

void ModeleEmployes::remplir(std::vector<Personnel> employes)
{
    beginResetModel();
    m_employes = std::move(employes);
    endResetModel();
}

ModeleEmployes::Champ ModeleEmployes::champ(int colonne) const
{
    static constexpr Champ ParCarte[] = {CARTE, NOM, PRENOM, MATRICULE};
    static constexpr Champ ParNom[] = {NOM, PRENOM, CARTE, MATRICULE};
    static constexpr Champ ParMatricule[] = {MATRICULE, CARTE, NOM, PRENOM};
    const Champ* champs = m_ordre == Ordre::Carte ? ParCarte : m_ordre == Ordre::Nom ? ParNom : ParMatricule;
    return champs[std::clamp(colonne, 0, 3)];
}

int ModeleEmployes::ligneDe(const Personnel& v) const
{
    for (size_t i = 0; i < m_employes.size(); ++i) {
        const Personnel& p = m_employes[i];
        const bool egal = m_ordre == Ordre::Carte ? p.CARTE == v.CARTE
                          : m_ordre == Ordre::Nom ? comparerCle(p.NOM.trimmed(), v.NOM.trimmed()) == 0
                                                  : comparerCle(p.MATRICULE.trimmed(), v.MATRICULE.trimmed()) == 0;
        if (egal)
            return int(i);
    }
    return -1;
}

int ModeleEmployes::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_employes.size());
}

int ModeleEmployes::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant ModeleEmployes::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= 4)
        return {};
    const Personnel& p = m_employes[size_t(index.row())];
    const Champ c = champ(index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment(c == CARTE ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter));
    if (role != Qt::DisplayRole)
        return {};
    switch (c) {
    case CARTE:
        return QStringLiteral("%1").arg(p.CARTE, 4, 10, QLatin1Char('0'));
    case NOM:
        return p.NOM;
    case PRENOM:
        return p.PRENOM;
    case MATRICULE:
        return p.MATRICULE;
    }
    return {};
}

QVariant ModeleEmployes::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 4)
        return {};
    switch (champ(section)) {
    case CARTE:
        return QStringLiteral("Carte");
    case NOM:
        return QStringLiteral("Nom");
    case PRENOM:
        return QStringLiteral("Prénom");
    case MATRICULE:
        return QStringLiteral("Matricule");
    }
    return {};
}

} // namespace kip

#include "moc_ModelesImpression.cpp"
