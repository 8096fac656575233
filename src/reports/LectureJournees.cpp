// Reading the day lines of a report.
#include "LectureJournees.h"

#include "data/Cp1252.h"
#include "data/RecordFile.h"

namespace kip {

namespace {

QString borne(const QString& texte, int taille)
{
    return clipField(texte, taille);
}

} // namespace

int comparerCle(QStringView a, QStringView b)
{
    // Folded to lower case, as the keys' collation folds them: '_' sorts before the letters.
    auto plier = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = plier(a[i].unicode());
        const char16_t y = plier(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

LectureJournees::LectureJournees(Database& db, const ParametresEdition& parametres, Mode mode)
    : m_db(db), m_p(parametres), m_mode(mode)
{
    m_p.nomDebut = borne(m_p.nomDebut, 20);
    m_p.nomFin = borne(m_p.nomFin, 20);
    m_p.matriculeDebut = borne(m_p.matriculeDebut, 10);
    m_p.matriculeFin = borne(m_p.matriculeFin, 10);
    m_selection.firstDate = m_p.dateDebut;
    m_selection.lastDate = m_p.dateFin;
    m_selection.firstCard = m_p.carteDebut;
    m_selection.lastCard = m_p.carteFin;
    switch (m_p.tri) {
    case Tri::Numero:
        m_selection.key = EmployeeKey::Card;
        break;
    case Tri::Nom:
        m_selection.key = EmployeeKey::Name;
        m_selection.firstText = m_p.nomDebut;
        m_selection.lastText = m_p.nomFin;
        break;
    case Tri::Matricule:
        m_selection.key = EmployeeKey::Matricule;
        m_selection.firstText = m_p.matriculeDebut;
        m_selection.lastText = m_p.matriculeFin;
        break;
    }
}

LectureJournees::~LectureJournees() = default;

bool LectureJournees::dansLaSelection(const PointVal& l, const ParametresEdition& p)
{
    if (l.DATE < p.dateDebut || l.DATE > p.dateFin)
        return false;
    switch (p.tri) {
    case Tri::Numero:
        return l.CARTE >= p.carteDebut && l.CARTE <= p.carteFin;
    case Tri::Nom:
        return comparerCle(borne(p.nomDebut, 20), l.NOM) <= 0 && comparerCle(l.NOM, borne(p.nomFin, 20)) <= 0;
    case Tri::Matricule:
        return comparerCle(borne(p.matriculeDebut, 10), l.MATRICULE) <= 0 &&
               comparerCle(l.MATRICULE, borne(p.matriculeFin, 10)) <= 0;
    }
    return false;
}

FileError LectureJournees::compter(qint64& total)
{
    if (m_mode == Mode::ParEmploye)
        return compterDansLaSelection(total, false);
    total = 0;
    Result<qint64> n = RecordFile<PointVal>(m_db).records();
    if (!n)
        return n.error();
    total = *n;
    return {};
}

FileError LectureJournees::compterLignes(qint64& total, bool avecInactives)
{
    return compterDansLaSelection(total, !avecInactives);
}

FileError LectureJournees::compterDansLaSelection(qint64& total, bool activesSeules)
{
    total = 0;
    Result<qint64> n = countSelectedLines(m_db, m_selection, activesSeules);
    if (!n)
        return n.error();
    total = *n;
    return {};
}

FileError LectureJournees::suivante(PointVal& ligne)
{
    if (m_fini)
        return makeError(EndOfFile);
    const FileError e = m_mode == Mode::ParEmploye ? suivanteParEmploye(ligne) : suivanteFichierComplet(ligne);
    if (!e.ok()) {
        m_fini = true;
        m_groupe.reset();
        m_tout.reset();
    }
    return e;
}

FileError LectureJournees::lireLigne(Cursor<PointVal>& lignes, PointVal& ligne, bool& trouvee)
{
    const FileError e = lignes.next(ligne);
    trouvee = e.ok();
    if (trouvee) {
        ++m_lus;
        if (m_lu)
            m_lu();
        return {};
    }
    return e.code == EndOfFile ? FileError{} : e;
}

FileError LectureJournees::suivanteFichierComplet(PointVal& ligne)
{
    if (!m_tout)
        m_tout.emplace(readAllLines(m_db, m_selection.key));
    for (;;) {
        bool trouvee = false;
        if (FileError e = lireLigne(*m_tout, ligne, trouvee); !e.ok())
            return e;
        if (!trouvee)
            return makeError(EndOfFile);
        if (dansLaSelection(ligne, m_p))
            return {};
    }
}

FileError LectureJournees::suivanteParEmploye(PointVal& ligne)
{
    for (;;) {
        if (m_groupe) {
            bool trouvee = false;
            if (FileError e = lireLigne(*m_groupe, ligne, trouvee); !e.ok())
                return e;
            if (trouvee)
                return {};
            m_groupe.reset();
        }
        bool trouve = false;
        if (FileError e = groupeSuivant(trouve); !e.ok())
            return e;
        if (!trouve)
            return makeError(EndOfFile);
    }
}

// Finds the next card (name, matricule) of the range that has day lines, and sets up the reading of its
// lines of the period.
FileError LectureJournees::groupeSuivant(bool& trouve)
{
    trouve = false;
    const bool premier = m_premierGroupe;
    m_premierGroupe = false;
    if (premier && m_p.tri == Tri::Matricule && m_p.matriculeDebut.isEmpty()) {
        // Blank matricules stay out of the keys over the matricule: their lines are asked for apart, first, as a
        // blank sorts before any other.
        m_cle = PointVal{};
    } else {
        Result<std::optional<PointVal>> groupe = nextLineGroup(m_db, m_selection, premier ? nullptr : &m_cle);
        if (!groupe)
            return groupe.error();
        if (!*groupe)
            return {};
        m_cle = **groupe;
    }
    m_groupe.emplace(readGroupLines(m_db, m_selection, m_cle));
    trouve = true;
    return {};
}

} // namespace kip
