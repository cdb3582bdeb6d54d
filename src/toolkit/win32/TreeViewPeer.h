// The native peer of a TTreeView.
#pragma once

#include <memory>

#include "toolkit/win32/WinPeer.h"

namespace norva::tk::win32 {

std::unique_ptr<ControlPeer> CreateTreeViewPeer(TTreeView& tree);

}  // namespace norva::tk::win32
