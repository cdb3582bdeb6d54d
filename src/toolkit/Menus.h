// Popup menus: items with captions, a default (bold) item and separators.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Types.h"

namespace norva::tk {

class TMenuItem : public TObject {
 public:
  TMenuItem(std::string name, std::string caption) : Name(std::move(name)), Caption(std::move(caption)) {}
  std::string Name;
  std::string Caption;  // "-" makes a separator
  bool Default = false;
  bool Enabled = true;
  bool IsSeparator() const { return Caption == "-"; }
  TNotifyEvent OnClick;
  void Click() {
    if (OnClick) OnClick(this);
  }
};

class TPopupMenu : public TObject {
 public:
  std::string Name;
  std::vector<std::unique_ptr<TMenuItem>> Items;
  TMenuItem& Add(std::string name, std::string caption) {
    Items.push_back(std::make_unique<TMenuItem>(std::move(name), std::move(caption)));
    return *Items.back();
  }
  // Opens the menu at a screen point and returns when it has closed.
  void Popup(int x, int y);
};

}  // namespace norva::tk
