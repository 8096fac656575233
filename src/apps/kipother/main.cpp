// The kipother program.
#include "apps/Poste.h"

int main(int argc, char** argv)
{
    return kip::lancerPoste(kip::Program::KipOther, argc, argv);
}
