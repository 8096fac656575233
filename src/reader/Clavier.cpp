#include "Clavier.h"

#include <linux/input-event-codes.h>

namespace kip {

namespace {

struct Touche
{
    int code;
    char simple;
    char majuscule;
};

constexpr Touche Touches[] = {
    {KEY_1, '1', '!'},         {KEY_2, '2', '@'},          {KEY_3, '3', '#'},          {KEY_4, '4', '$'},
    {KEY_5, '5', '%'},         {KEY_6, '6', '^'},          {KEY_7, '7', '&'},          {KEY_8, '8', '*'},
    {KEY_9, '9', '('},         {KEY_0, '0', ')'},          {KEY_MINUS, '-', '_'},      {KEY_EQUAL, '=', '+'},
    {KEY_LEFTBRACE, '[', '{'}, {KEY_RIGHTBRACE, ']', '}'}, {KEY_SEMICOLON, ';', ':'},  {KEY_APOSTROPHE, '\'', '"'},
    {KEY_GRAVE, '`', '~'},     {KEY_BACKSLASH, '\\', '|'}, {KEY_COMMA, ',', '<'},      {KEY_DOT, '.', '>'},
    {KEY_SLASH, '/', '?'},     {KEY_SPACE, ' ', ' '},      {KEY_KP0, '0', '0'},        {KEY_KP1, '1', '1'},
    {KEY_KP2, '2', '2'},       {KEY_KP3, '3', '3'},        {KEY_KP4, '4', '4'},        {KEY_KP5, '5', '5'},
    {KEY_KP6, '6', '6'},       {KEY_KP7, '7', '7'},        {KEY_KP8, '8', '8'},        {KEY_KP9, '9', '9'},
    {KEY_KPMINUS, '-', '-'},   {KEY_KPPLUS, '+', '+'},     {KEY_KPASTERISK, '*', '*'}, {KEY_KPSLASH, '/', '/'},
    {KEY_KPDOT, '.', '.'},     {KEY_KPEQUAL, '=', '='},
};

// The letter keys, in the order of the alphabet.
constexpr int Lettres[26] = {KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I, KEY_J, KEY_K, KEY_L, KEY_M,
                             KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R, KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z};

} // namespace

char caractereUs(int code, bool majuscule)
{
    for (int i = 0; i < 26; ++i)
        if (Lettres[i] == code)
            return char((majuscule ? 'A' : 'a') + i);
    for (const Touche& t : Touches)
        if (t.code == code)
            return majuscule ? t.majuscule : t.simple;
    return 0;
}

std::optional<QByteArray> SaisieClavier::touche(int code, int valeur)
{
    if (code == KEY_LEFTSHIFT || code == KEY_RIGHTSHIFT) {
        (code == KEY_LEFTSHIFT ? m_majGauche : m_majDroite) = valeur != 0;
        return std::nullopt;
    }
    // Readers do not hold keys down: a repeat is not a character.
    if (valeur != 1)
        return std::nullopt;
    if (code == KEY_ENTER || code == KEY_KPENTER) {
        QByteArray ligne;
        ligne.swap(m_ligne);
        if (ligne.isEmpty())
            return std::nullopt;
        return ligne;
    }
    const char c = caractereUs(code, m_majGauche || m_majDroite);
    if (c != 0 && m_ligne.size() < TailleMax)
        m_ligne += c;
    return std::nullopt;
}

QByteArray SaisieClavier::abandonner()
{
    QByteArray ligne;
    ligne.swap(m_ligne);
    return ligne;
}

} // namespace kip
