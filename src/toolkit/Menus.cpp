#include "toolkit/Menus.h"

#include "toolkit/Backend.h"
#include "toolkit/Dialogs.h"

namespace norva::tk {

void TPopupMenu::Popup(int x, int y) { CurrentBackend().TrackPopupMenu(*this, x, y); }

bool TOpenDialog::Execute() { return CurrentBackend().ExecuteOpenDialog(*this); }

bool TColorDialog::Execute() { return CurrentBackend().ExecuteColorDialog(*this); }

}  // namespace norva::tk
