#include "toolkit/StdCtrls.h"

#include <algorithm>
#include <cstdlib>

#include "toolkit/Form.h"

namespace norva::tk {

void TButton::Click() {
  TControl::Click();
  if (ModalResult != TModalResult::mrNone) {
    for (TWinControl* p = Parent(); p != nullptr; p = p->Parent())
      if (auto* form = dynamic_cast<TForm*>(p)) {
        form->SetModalResult(ModalResult);
        break;
      }
  }
}

void TCheckBox::SetChecked(bool v) {
  if (v == FChecked) return;
  FChecked = v;
  Changed(TChange::State);
  if (OnClick) OnClick(this);
}

void TEdit::CaptionChanged() {
  if (FUpDown != nullptr) FUpDown->AssociateTextChanged(FCaption);
  if (OnChange) OnChange(this);
}

TUpDown::~TUpDown() {
  if (FAssociate != nullptr) FAssociate->FUpDown = nullptr;
}

void TUpDown::SetMin(int v) {
  FMin = v;
  if (FPosition < FMin) SetPosition(FMin);
}

void TUpDown::SetMax(int v) {
  FMax = v;
  if (FPosition > FMax) SetPosition(FMax);
}

void TUpDown::SetPosition(int v) {
  v = std::clamp(v, FMin, std::max(FMin, FMax));
  const bool changed = v != FPosition;
  FPosition = v;
  if (changed) Changed(TChange::State);
  if (FAssociate != nullptr && !FUpdatingText) {
    FUpdatingText = true;
    FAssociate->SetText(std::to_string(FPosition));
    FUpdatingText = false;
  }
}

void TUpDown::SetAssociate(TEdit* edit) {
  if (FAssociate != nullptr) FAssociate->FUpDown = nullptr;
  FAssociate = edit;
  if (edit != nullptr) {
    edit->FUpDown = this;
    SetPosition(FPosition);
  }
}

void TUpDown::AssociateTextChanged(const std::string& text) {
  if (FUpdatingText) return;
  // The position follows a whole number typed into the box; other text
  // leaves it where it was.
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || end == text.c_str() || *end != '\0') return;
  FUpdatingText = true;
  SetPosition(static_cast<int>(std::clamp<long>(value, -2147483647L, 2147483647L)));
  FUpdatingText = false;
}

void TTrackBar::SetRange(int min, int max) {
  FMin = min;
  FMax = max;
  Changed(TChange::State);
  SetPosition(FPosition);
}

void TTrackBar::SetPosition(int v) {
  v = std::clamp(v, FMin, std::max(FMin, FMax));
  if (v == FPosition) return;
  FPosition = v;
  Changed(TChange::State);
  if (OnChange) OnChange(this);
}

void TComboBox::SetItemIndex(int v) {
  if (v < 0 || v >= static_cast<int>(Items.size())) v = -1;
  if (v == FItemIndex) return;
  FItemIndex = v;
  Changed(TChange::State);
}

void TComboBox::SetItems(std::vector<std::string> items) {
  Items = std::move(items);
  FItemIndex = -1;
  Changed(TChange::Items);
}

int TComboBox::Add(const std::string& item) {
  Items.push_back(item);
  const int index = static_cast<int>(Items.size()) - 1;
  // One entry more for the native list, not the whole list again: a list of
  // thousands is filled entry by entry.
  if (auto* peer = dynamic_cast<ComboBoxItemsPeer*>(Peer()))
    peer->ItemAdded(index);
  else
    Changed(TChange::Items);
  return index;
}

void TComboBox::Clear() {
  Items.clear();
  FItemIndex = -1;
  if (auto* peer = dynamic_cast<ComboBoxItemsPeer*>(Peer()))
    peer->ItemsCleared();
  else
    Changed(TChange::Items);
}

std::string TComboBox::Text() const {
  return FItemIndex >= 0 && FItemIndex < Count() ? Items[static_cast<size_t>(FItemIndex)]
                                                 : std::string();
}

void TPanel::SetAlignment(TAlignment v) {
  if (v == FAlignment) return;
  FAlignment = v;
  Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel v) {
  if (v == FBevelOuter) return;
  FBevelOuter = v;
  Invalidate();
  Realign();
}

TRect TPanel::AlignRect() const {
  TRect rect = ClientRect();
  if (FBevelOuter != TPanelBevel::bvNone) rect = {1, 1, FWidth - 1, FHeight - 1};
  rect.Right = std::max(rect.Right, rect.Left);
  rect.Bottom = std::max(rect.Bottom, rect.Top);
  return rect;
}

TTabSheet* TPageControl::ActivePage() const {
  return FActive >= 0 && FActive < static_cast<int>(Pages.size()) ? Pages[FActive] : nullptr;
}

void TPageControl::SetActivePageIndex(int v) {
  if (v < 0 || v >= static_cast<int>(Pages.size())) return;
  const bool changed = v != FActive;
  FActive = v;
  for (size_t i = 0; i < Pages.size(); ++i) Pages[i]->SetVisible(static_cast<int>(i) == v);
  Changed(TChange::State);
  if (changed && OnChange) OnChange(this);
}

void TPageControl::SetSheetInsets(const TRect& insets) {
  if (insets == FSheetInsets) return;
  FSheetInsets = insets;
  Realign();
}

void TPageControl::AlignControls(TRect& rect) {
  // The sheets are not aligned children: each fills the area under the tabs.
  const TRect area{FSheetInsets.Left, FSheetInsets.Top,
                   std::max(FSheetInsets.Left, FWidth - FSheetInsets.Right),
                   std::max(FSheetInsets.Top, FHeight - FSheetInsets.Bottom)};
  for (TTabSheet* sheet : Pages) sheet->SetBounds(area.Left, area.Top, area.Width(), area.Height());
  rect = area;
}

TTabSheet::TTabSheet(TPageControl* pages, const std::string& caption) : TWinControl(pages) {
  FCaption = caption;
  pages->Pages.push_back(this);
  FVisible = pages->Pages.size() == 1;
  pages->Realign();
}

}  // namespace norva::tk
