// The process entry: answers the program's own --search in the terminal, else hands control, with
// the program's resources, to the framework, which drives the program's one application object (a
// global of the program's library, linked in whole).
#include "app/CWinApp.h"
#include "content/search/SearchCommand.h"
#include "resources/Resources.h"

int main(int argc, char** argv) {
  if (const auto status = SearchCommand::RunIfAsked(std::vector<std::string>(argv + 1, argv + argc))) return *status;
  return AfxWinMain(argc, argv, ProgramResources());
}
