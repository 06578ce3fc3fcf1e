// The program: see RunProgram for the order of its start and its end.
#include "app/forms/Program.h"

int main(int argc, char** argv) { return hv::RunProgram(argc, argv); }
