// The native peer of a TListView.
#pragma once

#include <memory>

#include "toolkit/win32/WinPeer.h"

namespace norva::tk::win32 {

std::unique_ptr<ControlPeer> CreateListViewPeer(TListView& list);

}  // namespace norva::tk::win32
