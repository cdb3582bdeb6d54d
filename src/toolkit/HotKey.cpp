#include "toolkit/HotKey.h"

namespace norva::tk {

void THotKey::SetHotKey(int v) {
  v &= 0xFFFF;
  if (v == FHotKey) return;
  FHotKey = v;
  Changed(TChange::State);
  if (OnChange) OnChange(this);
}

}  // namespace norva::tk
