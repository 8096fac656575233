// The installation of the tests with the files of the utilities, employees who punched up to a day and day
// lines of every date of a period, written through the store in one batch.
#pragma once

#include "InstallationTest.h"
#include "data/FileAdmin.h"
#include "data/Journal.h"
#include "data/Transaction.h"

class UtilitairesTest : public InstallationTest
{
protected:
    UtilitairesTest() { fichiers.insert(fichiers.end(), {kip::FileId::DateSave, kip::FileId::OnOff}); }

    const kip::Paths& p() const { return kip::paths(); }

    // An employee who punched last on that day (0: never).
    kip::Personnel employeActif(qint16 carte, qint32 dernierPointage = 0)
    {
        kip::Personnel e = employe(carte);
        e.DATE_EMBAUCHE = kip::dayNumber(2000, 1, 1);
        e.PREMIER_POINTAGE = dernierPointage ? kip::dayNumber(2000, 1, 3) : 0;
        e.DERNIER_POINTAGE = dernierPointage;
        return ajouter(e);
    }

    // Day lines of a card for every date from premier to dernier, in one batch.
    void remplir(qint16 carte, qint32 premier, qint32 dernier)
    {
        kip::Transaction t(*base, {kip::FileId::PointVal});
        ASSERT_TRUE(t.ok());
        kip::RecordFile<kip::PointVal> f(*base);
        const kip::Personnel e = employe(carte);
        for (qint32 d = premier; d <= dernier; ++d) {
            kip::PointVal v = journee(e, d, {480 + d % 7, 1020});
            ASSERT_TRUE(f.add(v).ok());
        }
        ASSERT_TRUE(t.commit().ok());
    }
};
