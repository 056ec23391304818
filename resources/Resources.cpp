#include "resources/Resources.h"

const CResourceModule& ProgramResources() {
  static const CResourceModule module{ProgramStrings(), ProgramMenus(),   ProgramAccelerators(), ProgramToolBars(),
                                      ProgramIcons(),   ProgramDialogs(), &ProgramVersion()};
  return module;
}
