#include "resources/Resources.h"

const CResourceModule& ProgramResources() {
  static const CResourceModule module{ProgramStrings()};
  return module;
}
