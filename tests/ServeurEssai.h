// The two engines of the store in a test: the SQLite files of the installation, or a database of the test's own
// on the private server of the test run (scripts/test starts it and gives its socket directory in
// KIP_TEST_PGHOST). Each test's database is a copy of a template holding the record tables, made once per run,
// so that tests run in parallel without an initdb or a schema of their own.
#pragma once

#include "data/Base.h"
#include "data/Database.h"
#include "data/ServerAdmin.h"
#include "data/ServerConnection.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <unistd.h>

namespace serveuressai {

enum class Moteur
{
    Sqlite,
    Serveur
};

inline std::string nomMoteur(const ::testing::TestParamInfo<Moteur>& info)
{
    return info.param == Moteur::Sqlite ? "Sqlite" : "Serveur";
}

inline QString socketServeur()
{
    return qEnvironmentVariable("KIP_TEST_PGHOST");
}

inline QString conninfo(const QString& base)
{
    return QStringLiteral("host=%1 user=postgres dbname=%2").arg(socketServeur(), base);
}

// Runs one command as the server's administrator on the database base; the server's message on failure.
inline QString administrer(const QString& base, const QString& sql)
{
    PGconn* c = PQconnectdb(conninfo(base).toUtf8().constData());
    QString erreur;
    if (PQstatus(c) != CONNECTION_OK) {
        erreur = QString::fromUtf8(PQerrorMessage(c));
    } else {
        PGresult* r = PQexec(c, sql.toUtf8().constData());
        if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
            erreur = QString::fromUtf8(PQresultErrorMessage(r));
        PQclear(r);
    }
    PQfinish(c);
    return erreur;
}

inline const QString Modele = QStringLiteral("kip_modele");

// The template with the record tables, made by the first test of the run that needs it (the others wait for it
// on an advisory lock of the maintenance database).
inline QString preparerModele()
{
    PGconn* c = PQconnectdb(conninfo(QStringLiteral("postgres")).toUtf8().constData());
    if (PQstatus(c) != CONNECTION_OK) {
        const QString e = QString::fromUtf8(PQerrorMessage(c));
        PQfinish(c);
        return e;
    }
    PQclear(PQexec(c, "SELECT pg_advisory_lock(4243)"));
    PGresult* r = PQexec(c, "SELECT 1 FROM pg_database WHERE datname = 'kip_modele'");
    const bool existe = PQntuples(r) > 0;
    PQclear(r);
    QString erreur;
    if (!existe) {
        erreur = administrer(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE kip_modele_prepa"));
        if (erreur.isEmpty()) {
            const QString info = conninfo(QStringLiteral("kip_modele_prepa"));
            kip::setStoreServer(info);
            {
                kip::Database db(QString{});
                const kip::FileError e = db.valid() ? kip::createServerTables(db) : db.errorFrom(0);
                erreur = e.ok() ? QString() : e.description();
            }
            kip::setStoreServer(QString());
            kip::ServerConnection::closePool(info);
        }
        // Named once whole: a test never copies a template half made.
        if (erreur.isEmpty())
            erreur = administrer(QStringLiteral("postgres"),
                                 QStringLiteral("ALTER DATABASE kip_modele_prepa RENAME TO kip_modele"));
    }
    PQclear(PQexec(c, "SELECT pg_advisory_unlock(4243)"));
    PQfinish(c);
    return erreur;
}

// A database of the test's own, made from the template, dropped at the end with every connection to it.
class BaseEssai
{
public:
    BaseEssai()
    {
        static std::atomic<int> compteur{0};
        m_nom = QStringLiteral("kip_%1_%2").arg(::getpid()).arg(++compteur);
        m_erreur = preparerModele();
        if (m_erreur.isEmpty())
            m_erreur = administrer(QStringLiteral("postgres"),
                                   QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(m_nom, Modele));
        m_creee = m_erreur.isEmpty();
    }
    ~BaseEssai()
    {
        kip::ServerConnection::closePool(conninfo());
        if (m_creee)
            (void)administrer(QStringLiteral("postgres"), QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(m_nom));
    }
    BaseEssai(const BaseEssai&) = delete;
    BaseEssai& operator=(const BaseEssai&) = delete;

    const QString& erreur() const { return m_erreur; }
    QString conninfo() const { return serveuressai::conninfo(m_nom); }
    const QString& nom() const { return m_nom; }

private:
    QString m_nom;
    QString m_erreur;
    bool m_creee = false;
};

// What a fixture parameterised by the engine does at its start and end: on the server, a database of its own
// chosen as the program's engine. Without a server for the run (a developer's quick run) the fixture skips
// the test and says why; a server that is there but fails is a failure.
#define KIP_CHOISIR_MOTEUR(choix, moteur)                                                                              \
    do {                                                                                                               \
        if ((moteur) == serveuressai::Moteur::Serveur && serveuressai::socketServeur().isEmpty())                      \
            GTEST_SKIP() << "KIP_TEST_PGHOST absent: the server's tests are skipped (scripts/test starts one)";        \
        ASSERT_EQ((choix).choisir(moteur), QString());                                                                 \
    } while (false)

class ChoixMoteur
{
public:
    // The error that kept the test's database from being made, or empty.
    QString choisir(Moteur moteur)
    {
        if (moteur == Moteur::Sqlite)
            return {};
        m_base = std::make_unique<BaseEssai>();
        if (!m_base->erreur().isEmpty())
            return m_base->erreur();
        kip::setStoreServer(m_base->conninfo());
        return {};
    }
    ~ChoixMoteur() { kip::setStoreServer(QString()); }
    BaseEssai* base() const { return m_base.get(); }

private:
    std::unique_ptr<BaseEssai> m_base;
};

// A fixture F (with a virtual moteur() of its own) run on both engines: TEST_P over it, then
// INSTANTIATE_TEST_SUITE_P(Moteurs, ..., LesDeuxMoteurs).
template <class F> class SurLesDeuxMoteurs : public F, public ::testing::WithParamInterface<Moteur>
{
protected:
    Moteur moteur() const override { return this->GetParam(); }
};

} // namespace serveuressai

#define LesDeuxMoteurs                                                                                          \
    ::testing::Values(serveuressai::Moteur::Sqlite, serveuressai::Moteur::Serveur), serveuressai::nomMoteur
