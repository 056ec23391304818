// The process entry: hands control, with the program's resources, to the framework, which drives
// the program's one application object (a global of the program's library, linked in whole).
#include "app/CWinApp.h"
#include "resources/Resources.h"

int main(int argc, char** argv) { return AfxWinMain(argc, argv, ProgramResources()); }
