// The keyboard shortcuts of the main resource set, all by virtual key.
#include "resources/Resource.h"
#include "resources/Resources.h"

namespace {

constexpr AcceleratorResource kMainAccelerators[] = {
    {FVIRTKEY | FCONTROL, 'N', ID_FILE_NEW},
    {FVIRTKEY | FCONTROL, 'O', ID_FILE_OPEN},
    {FVIRTKEY | FCONTROL, 'S', ID_FILE_SAVE},
    {FVIRTKEY | FCONTROL, 'P', ID_FILE_PRINT},
    {FVIRTKEY | FCONTROL, 'Z', ID_EDIT_UNDO},
    {FVIRTKEY | FCONTROL, 'X', ID_EDIT_CUT},
    {FVIRTKEY | FCONTROL, 'C', ID_EDIT_COPY},
    {FVIRTKEY | FCONTROL, 'V', ID_EDIT_PASTE},
    {FVIRTKEY | FALT, VK_BACK, ID_EDIT_UNDO},
    {FVIRTKEY | FSHIFT, VK_DELETE, ID_EDIT_CUT},
    {FVIRTKEY | FCONTROL, VK_INSERT, ID_EDIT_COPY},
    {FVIRTKEY | FSHIFT, VK_INSERT, ID_EDIT_PASTE},
    {FVIRTKEY, VK_F6, ID_NEXT_PANE},
    {FVIRTKEY | FSHIFT, VK_F6, ID_PREV_PANE},
};

constexpr AcceleratorTableResource kAccelerators[] = {{IDR_MAINRES, kMainAccelerators}};

}  // namespace

std::span<const AcceleratorTableResource> ProgramAccelerators() { return kAccelerators; }
