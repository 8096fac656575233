#include "LecturesSoldes.h"

#include "Files.h"
#include "RecordFile.h"

#include <limits>

namespace kip {

FileError LireTotauxJours(Database& db, qint16 carteDebut, qint16 carteFin, qint32 debut, qint32 fin,
                          const std::function<void(const TotalJour&)>& chaque)
{
    Statement st = db.prepare(QStringLiteral("SELECT CARTE, DATE, TOTAL FROM POINTVAL.POINTVAL WHERE CARTE BETWEEN "
                                             "?1 AND ?2 AND DATE BETWEEN ?3 AND ?4 AND INACTIF = 0 "
                                             "ORDER BY CARTE, DATE"));
    if (!st.valid())
        return st.error();
    st.bind(1, qint64(carteDebut));
    st.bind(2, qint64(carteFin));
    st.bind(3, qint64(debut));
    st.bind(4, qint64(fin));
    for (;;) {
        const int rc = st.step();
        if (rc == SqliteDone)
            return {};
        if (rc != SqliteRow)
            return db.errorFrom(rc);
        chaque({qint16(st.columnInt(0)), qint32(st.columnInt(1)), qint32(st.columnInt(2))});
    }
}

Result<std::vector<Solde>> LireSoldes(Database& db, qint16 carteDebut, qint16 carteFin)
{
    FileUse use(FileId::Solde);
    RecordFile<Solde> fichier(db);
    if (FileError e = fichier.open(); !e.ok())
        return e;
    Solde de, a;
    de.CARTE = carteDebut;
    a.CARTE = carteFin;
    de.DATE = std::numeric_limits<qint32>::min();
    a.DATE = std::numeric_limits<qint32>::max();
    a.COMPTE = QStringLiteral("ZZZZ");
    a.NATURE = 255;
    std::vector<Solde> out;
    Cursor<Solde> c = fichier.read(SOL_K_CARTE_COMPTE, de, Direction::Forward, &a);
    for (;;) {
        Solde s;
        const FileError e = c.next(s);
        if (e.code == EndOfFile)
            return out;
        if (!e.ok())
            return e;
        out.push_back(s);
    }
}

} // namespace kip
