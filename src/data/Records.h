// The five record types of the data files, with members named after their fields.
//
// Each record describes its fields once, in file order, through visit(); the packed byte layout, the
// SQLite columns and the schema are all derived from that one description.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace kip {

constexpr qint16 PunchEmpty = -9999; // an empty punch slot
constexpr int PunchSlots = 20;       // slots per punch line
constexpr int PunchSlotsUsed = 14;   // slots 1 to 14 hold punches

using PunchLine = std::array<qint16, PunchSlots>;

// Position and version of a record as read from its file; not a field.
struct RecordMeta
{
    qint64 rowid = 0;   // the record's position, 0 when not read from the file
    qint64 version = 0; // row version as read, checked when the record is written back
};

struct Parametre : RecordMeta
{
    static constexpr const char* Label = "PARAMETRE";
    static constexpr const char* FileName = "Parametr.tps";
    static constexpr int Size = 1283;

    quint8 POSITIONSOMMAIRE = 0;
    quint8 PORTLOCAL = 0;
    quint8 PORTMODEM = 0;
    QString NOM_MODEM;            // STRING(60)
    QString MESSAGEGENERALDEFAUT; // STRING(32)
    std::array<quint8, 16> TERMINAL{};
    std::array<QString, 16> TELEPHONE;      // STRING(20)[16]
    std::array<QString, 16> IDENTIFICATION; // STRING(20)[16]
    std::array<quint8, 16> USEMESSAGEDEFAUT{};
    std::array<QString, 16> MESSAGEGENERAL; // STRING(32)[16]
    QString AFFICHAGELIGNE1;                // STRING(1)
    QString AFFICHAGELIGNE2;                // STRING(1)
    quint8 TABCORRECTION = 0;
    quint8 TABPERSONNEL = 0;

    template <class V> void visit(V& v)
    {
        v.field("POSITIONSOMMAIRE", POSITIONSOMMAIRE);
        v.field("PORTLOCAL", PORTLOCAL);
        v.field("PORTMODEM", PORTMODEM);
        v.text("NOM_MODEM", NOM_MODEM, 60);
        v.text("MESSAGEGENERALDEFAUT", MESSAGEGENERALDEFAUT, 32);
        v.array("TERMINAL", TERMINAL);
        v.textArray("TELEPHONE", TELEPHONE, 20);
        v.textArray("IDENTIFICATION", IDENTIFICATION, 20);
        v.array("USEMESSAGEDEFAUT", USEMESSAGEDEFAUT);
        v.textArray("MESSAGEGENERAL", MESSAGEGENERAL, 32);
        v.text("AFFICHAGELIGNE1", AFFICHAGELIGNE1, 1);
        v.text("AFFICHAGELIGNE2", AFFICHAGELIGNE2, 1);
        v.field("TABCORRECTION", TABCORRECTION);
        v.field("TABPERSONNEL", TABPERSONNEL);
    }
};

struct Personnel : RecordMeta
{
    static constexpr const char* Label = "PERSONNEL";
    static constexpr const char* FileName = "Personne.tps";
    static constexpr int Size = 199;

    qint16 CARTE = 0;
    QString MATRICULE; // STRING(10)
    QString NOM;       // STRING(20)
    QString PRENOM;    // STRING(15)
    qint32 PREMIER_POINTAGE = 0;
    qint32 DERNIER_POINTAGE = 0;
    qint16 EXTENSION = 0;
    quint8 NOMBRE = 0;
    qint16 DECALAGE_MINUIT = 0;
    QString ARRONDI_ENTREE; // STRING(2)
    QString ARRONDI_SORTIE; // STRING(2)
    quint8 TOLERANCE_ENTREE = 0;
    quint8 TOLERANCE_SORTIE = 0;
    quint8 DECALAGE_ENTREE = 0;
    quint8 DECALAGE_SORTIE = 0;
    QString MESSAGE; // STRING(16)
    qint32 PREMIER_JOUR = 0;
    qint32 DERNIER_JOUR = 0;
    QString ARRONDI_SEMAINE; // STRING(3)
    qint32 DATE_EMBAUCHE = 0;
    qint32 DATE_DEBAUCHE = 0;
    std::array<qint32, 10> PERIODE_INACTIVITE_DEBUT{};
    std::array<qint32, 10> PERIODE_INACTIVITE_FIN{};
    std::array<quint8, 16> AUTORISATION{};

    template <class V> void visit(V& v)
    {
        v.field("CARTE", CARTE);
        v.text("MATRICULE", MATRICULE, 10);
        v.text("NOM", NOM, 20);
        v.text("PRENOM", PRENOM, 15);
        v.field("PREMIER_POINTAGE", PREMIER_POINTAGE);
        v.field("DERNIER_POINTAGE", DERNIER_POINTAGE);
        v.field("EXTENSION", EXTENSION);
        v.field("NOMBRE", NOMBRE);
        v.field("DECALAGE_MINUIT", DECALAGE_MINUIT);
        v.text("ARRONDI_ENTREE", ARRONDI_ENTREE, 2);
        v.text("ARRONDI_SORTIE", ARRONDI_SORTIE, 2);
        v.field("TOLERANCE_ENTREE", TOLERANCE_ENTREE);
        v.field("TOLERANCE_SORTIE", TOLERANCE_SORTIE);
        v.field("DECALAGE_ENTREE", DECALAGE_ENTREE);
        v.field("DECALAGE_SORTIE", DECALAGE_SORTIE);
        v.text("MESSAGE", MESSAGE, 16);
        v.field("PREMIER_JOUR", PREMIER_JOUR);
        v.field("DERNIER_JOUR", DERNIER_JOUR);
        v.text("ARRONDI_SEMAINE", ARRONDI_SEMAINE, 3);
        v.field("DATE_EMBAUCHE", DATE_EMBAUCHE);
        v.field("DATE_DEBAUCHE", DATE_DEBAUCHE);
        v.array("PERIODE_INACTIVITE_DEBUT", PERIODE_INACTIVITE_DEBUT);
        v.array("PERIODE_INACTIVITE_FIN", PERIODE_INACTIVITE_FIN);
        v.array("AUTORISATION", AUTORISATION);
    }
};

struct PointVal : RecordMeta
{
    static constexpr const char* Label = "POINTVAL";
    static constexpr const char* FileName = "PointVal.tps";
    static constexpr int Size = 198;

    qint16 CARTE = 0;
    QString MATRICULE; // STRING(10)
    QString NOM;       // STRING(20)
    QString PRENOM;    // STRING(15)
    qint32 DATE = 0;
    quint8 NUM_SEMAINE = 0;
    qint16 NUM_ANNEE = 0;
    qint16 TOTAL = 0;
    quint8 MODIF = 0;
    quint8 INACTIF = 0;
    std::array<quint8, PunchSlots> TERMINAL{};
    PunchLine POINTAGE_ORIGINE{};
    PunchLine POINTAGE_PROGRAMME{};
    PunchLine POINTAGE_UTILISATEUR{};

    // Sets the three punch lines empty and every terminal to 1, as a new day line has them.
    void clearPunches()
    {
        TERMINAL.fill(1);
        POINTAGE_ORIGINE.fill(PunchEmpty);
        POINTAGE_PROGRAMME.fill(PunchEmpty);
        POINTAGE_UTILISATEUR.fill(PunchEmpty);
    }

    template <class V> void visit(V& v)
    {
        v.field("CARTE", CARTE);
        v.text("MATRICULE", MATRICULE, 10);
        v.text("NOM", NOM, 20);
        v.text("PRENOM", PRENOM, 15);
        v.field("DATE", DATE);
        v.field("NUM_SEMAINE", NUM_SEMAINE);
        v.field("NUM_ANNEE", NUM_ANNEE);
        v.field("TOTAL", TOTAL);
        v.field("MODIF", MODIF);
        v.field("INACTIF", INACTIF);
        v.array("TERMINAL", TERMINAL);
        v.array("POINTAGE_ORIGINE", POINTAGE_ORIGINE);
        v.array("POINTAGE_PROGRAMME", POINTAGE_PROGRAMME);
        v.array("POINTAGE_UTILISATEUR", POINTAGE_UTILISATEUR);
    }
};

struct DateSave : RecordMeta
{
    static constexpr const char* Label = "DATESAVE";
    static constexpr const char* FileName = "DateSave.tps";
    static constexpr int Size = 8;

    qint32 DATEAUTO = 0;
    qint32 DATEMANU = 0;

    template <class V> void visit(V& v)
    {
        v.field("DATEAUTO", DATEAUTO);
        v.field("DATEMANU", DATEMANU);
    }
};

struct OnOff : RecordMeta
{
    static constexpr const char* Label = "ONOFF";
    static constexpr const char* FileName = "OnOff.tps";
    static constexpr int Size = 1;

    quint8 TEST = 0;

    template <class V> void visit(V& v) { v.field("TEST", TEST); }
};

} // namespace kip
