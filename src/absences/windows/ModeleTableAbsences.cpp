#include "ModeleTableAbsences.h"

#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"

#include <QPainter>

namespace kip {

namespace {

const QColor FondFinDeSemaine(0xe4, 0xe7, 0xeb);
const QColor FondFerie(0xf6, 0xec, 0xc8);
const QColor FondHorsActivite(0xd0, 0xd3, 0xd8);
const QColor MarquePointage(0x2b, 0x3a, 0x4a);
const QColor MarqueConflit(0xc0, 0x20, 0x20);

const char* const InitialesJours[] = {"Di", "Lu", "Ma", "Me", "Je", "Ve", "Sa"};

QColor couleurDe(const ModeleAbsences& m, const QString& code)
{
    const TypeAbsence* t = m.type(code);
    return t ? QColor(QRgb(0xff000000u | quint32(t->COULEUR))) : QColor(Qt::gray);
}

// Black or white, whichever reads better on the colour.
QColor encre(const QColor& fond)
{
    return fond.lightness() > 150 ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace

CelluleAffichee celluleAffichee(const ModeleAbsences& m, int ligne, int colonne)
{
    CelluleAffichee c;
    c.finDeSemaine = m.finDeSemaine(colonne);
    c.ferie = m.ferie(colonne) != nullptr;
    c.horsActivite = !m.enActivite(ligne, colonne);
    c.pointe = m.pointe(ligne, colonne);
    c.prevu = m.minutesPrevues(ligne, colonne) > 0;
    for (const Absence& a : m.jour(ligne, colonne).absences) {
        const CelluleAffichee::Partie p{a.CODE, couleurDe(m, a.CODE)};
        switch (a.partie()) {
        case PartieJour::Journee:
            c.journee = p;
            break;
        case PartieJour::Matin:
            c.matin = p;
            break;
        case PartieJour::ApresMidi:
            c.apresMidi = p;
            break;
        case PartieJour::Heures:
            c.heures = p;
            c.texteHeures = HeureTexte(a.MINUTES).trimmed();
            break;
        }
    }
    // A public holiday shows as JF without being entered, unless an absence was entered on it.
    if (c.ferie && c.journee.code.isEmpty() && c.matin.code.isEmpty() && c.apresMidi.code.isEmpty())
        c.journee = {QString::fromLatin1(CodeFerie), couleurDe(m, QString::fromLatin1(CodeFerie))};
    return c;
}

ModeleTableAbsences::ModeleTableAbsences(QObject* parent) : QAbstractTableModel(parent) {}

void ModeleTableAbsences::remplacerModele(ModeleAbsences modele)
{
    beginResetModel();
    m_modele = std::move(modele);
    endResetModel();
}

void ModeleTableAbsences::joursChanges(const std::vector<JourAbsences>& jours)
{
    if (!m_modele)
        return;
    for (const JourAbsences& j : jours) {
        const int ligne = m_modele->ligneDe(j.carte);
        const int colonne = j.date - m_modele->choix().debut;
        if (ligne >= 0 && colonne >= 0 && colonne < m_modele->colonnes())
            Q_EMIT dataChanged(index(ligne, colonne), index(ligne, colonne));
    }
}

int ModeleTableAbsences::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_modele ? 0 : m_modele->lignes();
}

int ModeleTableAbsences::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_modele ? 0 : m_modele->colonnes();
}

QVariant ModeleTableAbsences::data(const QModelIndex& index, int role) const
{
    if (!m_modele || !index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        QStringList codes;
        for (const Absence& a : m_modele->jour(index.row(), index.column()).absences)
            codes << a.CODE;
        if (codes.isEmpty() && m_modele->ferie(index.column()))
            codes << QString::fromLatin1(CodeFerie);
        return codes.join(QLatin1Char('/'));
    }
    case Qt::ToolTipRole:
        return m_modele->infobulle(index.row(), index.column());
    case RoleJour:
        return QVariant::fromValue(celluleAffichee(*m_modele, index.row(), index.column()));
    default:
        return {};
    }
}

QVariant ModeleTableAbsences::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!m_modele)
        return {};
    if (orientation == Qt::Horizontal) {
        const qint32 date = m_modele->date(section);
        if (role == Qt::DisplayRole)
            return QStringLiteral("%1\n%2")
                .arg(QLatin1String(InitialesJours[jourSemaine(date)]))
                .arg(calendarDate(date).day(), 2, 10, QLatin1Char('0'));
        if (role == Qt::ToolTipRole) {
            const JourFerie* f = m_modele->ferie(section);
            return NomJour(date) + QLatin1Char(' ') + DateTexte(date) +
                   (f ? QStringLiteral(" - ") + f->nom : QString());
        }
        if (role == Qt::BackgroundRole && (m_modele->finDeSemaine(section) || m_modele->ferie(section)))
            return m_modele->ferie(section) ? FondFerie : FondFinDeSemaine;
        return {};
    }
    const Personnel& p = m_modele->employe(section);
    if (role == Qt::DisplayRole)
        return QStringLiteral("%1 %2").arg(p.NOM, p.PRENOM).trimmed();
    if (role == Qt::ToolTipRole)
        return QStringLiteral("Carte %1%2")
            .arg(p.CARTE)
            .arg(p.MATRICULE.isEmpty() ? QString() : QStringLiteral(", matricule ") + p.MATRICULE);
    return {};
}

void DelegueAbsences::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const CelluleAffichee c = index.data(ModeleTableAbsences::RoleJour).value<CelluleAffichee>();
    const QRect r = option.rect;
    painter->save();
    QColor fond = option.palette.color(QPalette::Base);
    if (c.horsActivite)
        fond = FondHorsActivite;
    else if (c.ferie)
        fond = FondFerie;
    else if (c.finDeSemaine)
        fond = FondFinDeSemaine;
    painter->fillRect(r, fond);

    QFont police = option.font;
    police.setBold(true);
    police.setPixelSize(std::max(8, r.height() * 2 / 5));
    painter->setFont(police);
    auto remplir = [&](const QRect& zone, const CelluleAffichee::Partie& p) {
        if (p.code.isEmpty())
            return;
        // A holiday not entered is shown lighter than an absence entered.
        QColor couleur = p.couleur;
        if (c.ferie && p.code == QLatin1String(CodeFerie))
            couleur = couleur.lighter(135);
        painter->fillRect(zone.adjusted(1, 1, -1, -1), couleur);
        painter->setPen(encre(couleur));
        // A code of four letters in a narrow cell takes a smaller font rather than losing its letters.
        QFont f = painter->font();
        while (f.pixelSize() > 7 && QFontMetrics(f).horizontalAdvance(p.code) > zone.width() - 2)
            f.setPixelSize(f.pixelSize() - 1);
        painter->save();
        painter->setFont(f);
        painter->drawText(zone, Qt::AlignCenter, p.code);
        painter->restore();
    };
    const int bandeHeures = c.heures.code.isEmpty() ? 0 : r.height() * 2 / 5;
    const QRect haut(r.left(), r.top(), r.width(), r.height() - bandeHeures);
    if (!c.journee.code.isEmpty()) {
        remplir(haut, c.journee);
    } else {
        // The morning is the left half, the afternoon the right one: the day reads from left to right.
        const QRect gauche(haut.left(), haut.top(), haut.width() / 2, haut.height());
        const QRect droite(gauche.right() + 1, haut.top(), haut.width() - gauche.width(), haut.height());
        QFont petite = police;
        petite.setPixelSize(std::max(7, police.pixelSize() * 3 / 4));
        painter->setFont(petite);
        remplir(gauche, c.matin);
        remplir(droite, c.apresMidi);
        painter->setFont(police);
    }
    if (bandeHeures) {
        const QRect bas(r.left(), r.bottom() - bandeHeures + 1, r.width(), bandeHeures);
        painter->fillRect(bas.adjusted(1, 0, -1, -1), c.heures.couleur);
        QFont petite = option.font;
        petite.setPixelSize(std::max(7, bandeHeures - 1));
        painter->setFont(petite);
        painter->setPen(encre(c.heures.couleur));
        // The code and the hours when they fit, else the hours alone (the tip says the rest).
        const QString complet = c.heures.code + QLatin1Char(' ') + c.texteHeures;
        painter->drawText(bas, Qt::AlignCenter,
                          QFontMetrics(petite).horizontalAdvance(complet) <= bas.width() - 2 ? complet : c.texteHeures);
    }
    if (c.pointe) {
        // A day with punches: a corner mark; red when a whole day of absence was entered on it.
        const bool conflit = !c.journee.code.isEmpty() && !(c.ferie && c.journee.code == QLatin1String(CodeFerie));
        const int t = std::max(5, r.height() / 4);
        QPolygon coin;
        coin << QPoint(r.right() - t, r.top()) << QPoint(r.right(), r.top()) << QPoint(r.right(), r.top() + t);
        painter->setPen(Qt::NoPen);
        painter->setBrush(conflit ? MarqueConflit : MarquePointage);
        painter->drawPolygon(coin);
    }
    if (option.state & QStyle::State_Selected) {
        QColor selection = option.palette.color(QPalette::Highlight);
        selection.setAlpha(90);
        painter->fillRect(r, selection);
    }
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(option.palette.color(QPalette::Highlight).darker(130), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r.adjusted(1, 1, -1, -1));
    }
    painter->restore();
}

QSize DelegueAbsences::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    const QFontMetrics fm(option.font);
    return {fm.horizontalAdvance(QStringLiteral("MMMM")) + 4, fm.height() * 2};
}

} // namespace kip

#include "moc_ModeleTableAbsences.cpp"
