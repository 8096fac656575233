// The installation of tests/Installation.h as a GoogleTest fixture: made before each test, checked and
// given back after it. A fixture that needs other files made at start sets `fichiers` in its constructor.
// On the SQLite files, or, in a fixture parameterised by the engine (serveuressai::SurLesDeuxMoteurs), on a
// database of the test's own on the server; a fixture's own SetUp returns at once when this one stopped.
#pragma once

#include "Installation.h"
#include "ServeurEssai.h"

#include <gtest/gtest.h>

class InstallationTest : public ::testing::Test, public essai::Installation
{
protected:
    void SetUp() override
    {
        KIP_CHOISIR_MOTEUR(m_moteur, moteur());
        ASSERT_TRUE(vider()) << pannes.join(u'\n').toStdString();
    }
    void TearDown() override
    {
        EXPECT_TRUE(pannes.isEmpty()) << pannes.join(u'\n').toStdString();
        terminer(); // before the test's database on the server is dropped
    }

    // Whether the fixture's own SetUp must stop: the test is skipped or its engine could not be had.
    bool arrete() const { return IsSkipped() || HasFatalFailure(); }
    virtual serveuressai::Moteur moteur() const { return serveuressai::Moteur::Sqlite; }
    bool surServeur() const { return moteur() == serveuressai::Moteur::Serveur; }

    // A record of the table that refuses the operation (UPDATE, DELETE) when the condition holds, as a full disk
    // or a damaged page would; the text the user then reads of the cause.
    QString refuser(const char* operation, const QString& table, const QString& condition = QStringLiteral("1 = 1"))
    {
        if (surServeur()) {
            const QString texte =
                QStringLiteral("CREATE OR REPLACE FUNCTION public.refuse() RETURNS trigger LANGUAGE plpgsql AS "
                               "$$BEGIN RAISE EXCEPTION 'injected failure'; END$$; "
                               "CREATE TRIGGER refuse BEFORE %1 ON %2.%2 FOR EACH ROW "
                               "WHEN (%3) EXECUTE FUNCTION public.refuse()")
                    .arg(QLatin1String(operation), table, condition);
            EXPECT_EQ(serveuressai::administrer(m_moteur.base()->nom(), texte), QString());
            return QStringLiteral("injected failure");
        }
        sql(fichierDe(table), QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON %2 WHEN %3 "
                                             "BEGIN SELECT RAISE(ABORT, 'injected failure'); END;")
                                  .arg(QLatin1String(operation), table, condition));
        return QStringLiteral("Contrainte non respectée");
    }
    void plusDeRefus(const QString& table)
    {
        if (surServeur())
            EXPECT_EQ(serveuressai::administrer(m_moteur.base()->nom(),
                                                QStringLiteral("DROP TRIGGER refuse ON %1.%1").arg(table)),
                      QString());
        else
            sql(fichierDe(table), QStringLiteral("DROP TRIGGER refuse;"));
    }

    serveuressai::ChoixMoteur m_moteur;

private:
    static kip::FileId fichierDe(const QString& table)
    {
        return table == QLatin1String("PERSONNEL") ? kip::FileId::Personnel : kip::FileId::PointVal;
    }
};

// The same installation with no record file made at start: the store's own tests make theirs.
class InstallationVide : public InstallationTest
{
protected:
    InstallationVide() { fichiers.clear(); }
};
