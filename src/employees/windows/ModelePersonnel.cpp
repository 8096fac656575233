#include "ModelePersonnel.h"

#include "calendar/Dates.h"
#include "punch/CodesArrondi.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>

namespace kip {

namespace {

const QColor CyanClair(0x80, 0xff, 0xff); // FFFF80 in the blue-green-red order of the system's colours
constexpr int Marge = 4;                  // pixels around the text of a cell

QString deuxChiffres(const QString& code)
{
    return QStringLiteral("%1").arg(roundingValue(code), 2, 10, QLatin1Char('0'));
}

} // namespace

ModelePersonnel::ModelePersonnel(QObject* parent) : ModelePage<Personnel>(parent) {}

QStringList ModelePersonnel::lignes(const Personnel& p, int colonne)
{
    switch (colonne) {
    case Identite:
        return {p.NOM, p.PRENOM};
    case Identifiant:
        return {QStringLiteral("%1").arg(int(p.CARTE), 4, 10, QLatin1Char('0')), p.MATRICULE};
    case Entree:
        return {deuxChiffres(p.ARRONDI_ENTREE), QString::number(p.TOLERANCE_ENTREE),
                QString::number(p.DECALAGE_ENTREE)};
    case Sortie:
        return {deuxChiffres(p.ARRONDI_SORTIE), QString::number(p.TOLERANCE_SORTIE),
                QString::number(p.DECALAGE_SORTIE)};
    case Arrondi:
        return {p.ARRONDI_SEMAINE, QString()};
    case Dates:
        return {DateTexte(p.DATE_EMBAUCHE), DateTexte(p.DATE_DEBAUCHE), DateTexte(p.PREMIER_POINTAGE),
                DateTexte(p.DERNIER_POINTAGE)};
    }
    return {};
}

QStringList ModelePersonnel::sousTitres(int colonne)
{
    switch (colonne) {
    case Identite:
        return {QStringLiteral("Nom"), QStringLiteral("Prénom")};
    case Identifiant:
        return {QStringLiteral("Carte"), QStringLiteral("Matricule")};
    case Entree:
    case Sortie:
        return {QStringLiteral("Arrondi"), QStringLiteral("Tolérance"), QStringLiteral("Décalage")};
    case Arrondi:
        return {QStringLiteral("Semaine"), QString()};
    case Dates:
        return {QStringLiteral("Date embauche"), QStringLiteral("Date débauche"), QStringLiteral("Premier pointage"),
                QStringLiteral("Dernier pointage")};
    }
    return {};
}

QString ModelePersonnel::titre(int colonne)
{
    static const char* const titres[] = {"Identité", "Identifiant", "Entrée", "Sortie", "Arrondi", "Dates"};
    return colonne >= 0 && colonne < NombreColonnes ? QString::fromUtf8(titres[colonne]) : QString();
}

int ModelePersonnel::largeurCaracteres(int colonne)
{
    static const int largeurs[] = {20, 10, 3, 3, 3, 10};
    return colonne >= 0 && colonne < NombreColonnes ? largeurs[colonne] : 0;
}

int ModelePersonnel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : NombreColonnes;
}

QVariant ModelePersonnel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_lignes.size()) || index.column() >= NombreColonnes)
        return {};
    const QStringList texte = lignes(m_lignes[size_t(index.row())], index.column());
    switch (role) {
    case Qt::DisplayRole:
        return texte.join(QLatin1Char('\n'));
    case LignesRole:
        return texte;
    case Qt::TextAlignmentRole: {
        const Qt::Alignment a = index.column() == Identite ? (Qt::AlignLeft | Qt::AlignVCenter) : Qt::AlignCenter;
        return int(a.toInt());
    }
    default:
        return {};
    }
}

QVariant ModelePersonnel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= NombreColonnes)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return titre(section);
    case LignesRole:
        return sousTitres(section);
    default:
        return {};
    }
}

int DelegueLignes::hauteurLigne(const QFont& police)
{
    return QFontMetrics(police).height() + 2;
}

QSize DelegueLignes::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QFontMetrics fm(option.font);
    const int largeur = fm.horizontalAdvance(QLatin1Char('M')) * ModelePersonnel::largeurCaracteres(index.column());
    return {largeur + 2 * Marge, ModelePersonnel::LignesParRangee * hauteurLigne(option.font) + 2 * Marge};
}

void DelegueLignes::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QStringList texte = index.data(ModelePersonnel::LignesRole).toStringList();
    const bool choisie = option.state & QStyle::State_Selected;
    const QPalette& pal = option.palette;
    painter->save();
    painter->fillRect(option.rect, choisie ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
    const int h = hauteurLigne(option.font);
    const Qt::Alignment alignement =
        index.column() == ModelePersonnel::Identite ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter;
    for (int i = 0; i < texte.size(); ++i) {
        const QRect ligne(option.rect.left(), option.rect.top() + Marge + i * h, option.rect.width(), h);
        if (i == 0 && !choisie)
            painter->fillRect(ligne, CyanClair);
        painter->setPen(choisie ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
        painter->setFont(option.font);
        painter->drawText(ligne.adjusted(Marge, 0, -Marge, 0), int(alignement.toInt()),
                          QFontMetrics(option.font).elidedText(texte[i], Qt::ElideRight, ligne.width() - 2 * Marge));
    }
    // A rule between employees.
    painter->setPen(pal.color(QPalette::Mid));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->restore();
}

EnteteGroupes::EnteteGroupes(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(false);
    setDefaultAlignment(Qt::AlignCenter);
}

QSize EnteteGroupes::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight((ModelePersonnel::LignesParRangee + 1) * DelegueLignes::hauteurLigne(font()) + 2 * Marge);
    return s;
}

void EnteteGroupes::paintSection(QPainter* painter, const QRect& rect, int section) const
{
    painter->save();
    QStyleOptionHeader opt;
    initStyleOption(&opt);
    opt.rect = rect;
    opt.section = section;
    opt.text.clear();
    // The style may leave a clip of its own behind: the texts below are drawn without it.
    painter->save();
    style()->drawControl(QStyle::CE_Header, &opt, painter, this);
    painter->restore();
    const int h = DelegueLignes::hauteurLigne(font());
    QFont gras = font();
    gras.setBold(true);
    painter->setFont(gras);
    painter->setPen(palette().color(QPalette::ButtonText));
    const QRect titre(rect.left(), rect.top() + Marge, rect.width(), h);
    painter->drawText(titre, Qt::AlignCenter,
                      model() ? model()->headerData(section, Qt::Horizontal).toString() : QString());
    painter->setFont(font());
    const QStringList sous =
        model() ? model()->headerData(section, Qt::Horizontal, ModelePersonnel::LignesRole).toStringList()
                : QStringList();
    const Qt::Alignment alignement =
        section == ModelePersonnel::Identite ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter;
    for (int i = 0; i < sous.size(); ++i) {
        const QRect ligne(rect.left() + Marge, titre.bottom() + 1 + i * h, rect.width() - 2 * Marge, h);
        painter->drawText(ligne, int(alignement.toInt()), sous[i]);
    }
    painter->restore();
}

} // namespace kip

#include "moc_ModelePersonnel.cpp"
