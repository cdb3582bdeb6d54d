// The texts a window shows, kept with the controls that show them: each is
// set when added and set again by Apply, so that the window shows them anew
// when the language changes.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "lang/Lang.h"
#include "toolkit/Control.h"

namespace norva::lang {

class TWindowTexts {
 public:
  // Runs apply now and at every Apply.
  void Add(std::function<void()> apply) {
    apply();
    FApply.push_back(std::move(apply));
  }
  void Caption(tk::TControl& control, TextId id) {
    Add([&control, id] { control.SetCaption(Text(id)); });
  }
  void Hint(tk::TControl& control, TextId id) {
    Add([&control, id] {
      control.SetHint(Text(id));
      control.SetShowHint(true);
    });
  }
  void Apply() const {
    for (const auto& apply : FApply) apply();
  }

 private:
  std::vector<std::function<void()>> FApply;
};

}  // namespace norva::lang
