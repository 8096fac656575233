#include "SelecteurEmploye.h"

#include "correction/BornesPointage.h"
#include "data/Cp1252.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableView>

namespace kip {

namespace {

const QString VertClair = QStringLiteral("#80ff80");

int largeurCaracteres(ModeleSelecteur::Champ champ)
{
    switch (champ) {
    case ModeleSelecteur::Champ::Carte:
        return 5;
    case ModeleSelecteur::Champ::Nom:
        return 20;
    case ModeleSelecteur::Champ::Prenom:
        return 15;
    }
    return 10;
}

} // namespace

ModeleSelecteur::ModeleSelecteur(std::vector<Champ> colonnes, QObject* parent)
    : QAbstractTableModel(parent), m_colonnes(std::move(colonnes))
{
}

void ModeleSelecteur::remplir(std::vector<Personnel> employes)
{
    beginResetModel();
    m_employes = std::move(employes);
    endResetModel();
}

int ModeleSelecteur::rangee(qint16 carte) const
{
    for (size_t i = 0; i < m_employes.size(); ++i)
        if (m_employes[i].CARTE == carte)
            return int(i);
    return -1;
}

int ModeleSelecteur::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_employes.size());
}

int ModeleSelecteur::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_colonnes.size());
}

QVariant ModeleSelecteur::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_employes.size()) || index.column() >= int(m_colonnes.size()))
        return {};
    const Personnel& p = m_employes[size_t(index.row())];
    const Champ champ = m_colonnes[size_t(index.column())];
    if (role == Qt::TextAlignmentRole)
        return champ == Champ::Carte ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                     : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (champ) {
    case Champ::Carte:
        return TexteCarte(p.CARTE);
    case Champ::Nom:
        return clipField(p.NOM, 20);
    case Champ::Prenom:
        return clipField(p.PRENOM, 15);
    }
    return {};
}

SelecteurEmploye::SelecteurEmploye(std::vector<ModeleSelecteur::Champ> colonnes, const QString& bulle, QWidget* parent)
    : QComboBox(parent), m_modele(new ModeleSelecteur(colonnes, this))
{
    setToolTip(bulle);
    setModel(m_modele);
    setModelColumn(0);
    setMaxVisibleItems(16);
    // A list that drops below the box, sixteen rows high, whatever the style's habit.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    auto* vue = new QTableView(this);
    vue->horizontalHeader()->hide();
    vue->verticalHeader()->hide();
    vue->verticalHeader()->setDefaultSectionSize(vue->fontMetrics().height() + 6);
    vue->setSelectionBehavior(QAbstractItemView::SelectRows);
    vue->setShowGrid(false);
    vue->setStyleSheet(
        QStringLiteral("QTableView { selection-background-color: %1; selection-color: black; }").arg(VertClair));
    setView(vue);
    const QFontMetrics fm(font());
    int largeur = 0;
    for (size_t c = 0; c < colonnes.size(); ++c) {
        const int l = fm.horizontalAdvance(QLatin1Char('M')) * largeurCaracteres(colonnes[c]) * 3 / 4 + 12;
        vue->setColumnWidth(int(c), l);
        largeur += l;
    }
    vue->setMinimumWidth(largeur + 24);
    connect(this, &QComboBox::activated, this, [this](int i) {
        if (i >= 0 && i < int(m_modele->employes().size()))
            Q_EMIT employeChoisi(m_modele->employes()[size_t(i)]);
    });
}

void SelecteurEmploye::montrer(qint16 carte)
{
    const QSignalBlocker bloque(this);
    setCurrentIndex(m_modele->rangee(carte));
}

} // namespace kip

#include "moc_SelecteurEmploye.cpp"
