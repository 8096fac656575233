// The kipother program.
#include "Poste.h"

int main(int argc, char** argv) { return kip::lancerPoste(kip::Program::KipOther, argc, argv); }
