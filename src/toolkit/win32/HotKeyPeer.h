// The system hotkey control (msctls_hotkey32) behind a THotKey.
#pragma once

#include <memory>

#include "toolkit/HotKey.h"
#include "toolkit/win32/WinPeer.h"

namespace norva::tk::win32 {

std::unique_ptr<ControlPeer> CreateHotKeyPeer(THotKey& hotKey);

}  // namespace norva::tk::win32
