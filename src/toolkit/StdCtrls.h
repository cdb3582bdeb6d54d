// Windowed standard controls: buttons, check boxes, edits with up-down
// arrows, track bar, combo box, panels, group boxes and page controls.
// Setting a state property to a new value runs the control's change event,
// as a user's change would.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Control.h"

namespace norva::tk {

class TButton : public TWinControl {
 public:
  using TWinControl::TWinControl;
  TModalResult ModalResult = TModalResult::mrNone;
  bool Default = false;
  bool Cancel = false;
  void Click() override;
};

class TCheckBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
  bool Checked() const { return FChecked; }
  // A change runs OnClick, whoever makes it.
  void SetChecked(bool v);
  // A user's click toggles the state.
  void Click() override { SetChecked(!FChecked); }

 private:
  bool FChecked = false;
};

class TUpDown;

class TEdit : public TWinControl {
 public:
  explicit TEdit(TWinControl* parent) : TWinControl(parent) { FColor = clWindow; }
  const std::string& Text() const { return FCaption; }
  // A change runs OnChange (and moves an associated up-down).
  void SetText(const std::string& v) { SetCaption(v); }
  bool ReadOnly = false;
  TNotifyEvent OnChange;
  TKeyPressEvent OnKeyPress;

 protected:
  void CaptionChanged() override;

 private:
  friend class TUpDown;
  TUpDown* FUpDown = nullptr;
};

class TUpDown : public TWinControl {
 public:
  using TWinControl::TWinControl;
  ~TUpDown() override;
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Position() const { return FPosition; }
  void SetMin(int v);
  void SetMax(int v);
  // Clamped to Min..Max; the associated edit shows the number.
  void SetPosition(int v);
  void SetAssociate(TEdit* edit);
  TEdit* Associate() const { return FAssociate; }
  // The position is moving to follow the associated edit's text, which
  // stays as typed (a number beyond the range is kept in the box).
  bool FollowingText() const { return FUpdatingText; }

 private:
  friend class TEdit;
  void AssociateTextChanged(const std::string& text);
  int FMin = 0, FMax = 100, FPosition = 0;
  TEdit* FAssociate = nullptr;
  bool FUpdatingText = false;
};

class TTrackBar : public TWinControl {
 public:
  using TWinControl::TWinControl;
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Position() const { return FPosition; }
  void SetRange(int min, int max);
  // Clamped to Min..Max; a change runs OnChange.
  void SetPosition(int v);
  int Frequency = 1;
  int LineSize = 1;
  int PageSize = 2;
  TNotifyEvent OnChange;

 private:
  int FMin = 0, FMax = 10, FPosition = 0;
};

// A drop-down list. Change Items through SetItems, Add and Clear so that the
// native list follows (editing the vector directly is seen only at the next
// SetItems). OnChange runs on the user's choice, not on SetItemIndex.
class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TWinControl* parent) : TWinControl(parent) { FColor = clWindow; }
  std::vector<std::string> Items;
  int ItemIndex() const { return FItemIndex; }
  // An index outside the items selects nothing (-1).
  void SetItemIndex(int v);
  void SetItems(std::vector<std::string> items);
  // Appends one entry; returns its index. The selection stays.
  int Add(const std::string& item);
  // Removes every entry; nothing is selected afterwards.
  void Clear();
  int Count() const { return static_cast<int>(Items.size()); }
  // The selected entry's text, "" when none is selected.
  std::string Text() const;
  TNotifyEvent OnChange;

 private:
  int FItemIndex = -1;
};

// The native side of a combo box that can take single entries (a peer
// without it gets TChange::Items and shows the whole list anew).
class ComboBoxItemsPeer {
 public:
  virtual ~ComboBoxItemsPeer() = default;
  virtual void ItemAdded(int index) = 0;
  virtual void ItemsCleared() = 0;
};

enum class TPanelBevel { bvNone, bvRaised, bvLowered };

// A container with a one-pixel bevel and its caption drawn in its middle
// row, placed by Alignment.
class TPanel : public TWinControl {
 public:
  using TWinControl::TWinControl;
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel v);
  // Inside the bevel.
  TRect AlignRect() const override;

 private:
  TAlignment FAlignment = TAlignment::taCenter;
  TPanelBevel FBevelOuter = TPanelBevel::bvRaised;
};

class TGroupBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
};

class TTabSheet;

// Tabs over a stack of sheets; every sheet fills the area under the tabs.
class TPageControl : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::vector<TTabSheet*> Pages;
  int ActivePageIndex() const { return FActive; }
  TTabSheet* ActivePage() const;
  // Showing another page runs OnChange (a user's tab click comes this way too).
  void SetActivePageIndex(int v);
  TNotifyEvent OnChange;
  // The sheets' area inside the control: insets from each side. The native
  // tab control reports its own; without one, room for one row of tabs.
  TRect SheetInsets() const { return FSheetInsets; }
  void SetSheetInsets(const TRect& insets);

 protected:
  void AlignControls(TRect& rect) override;

 private:
  int FActive = 0;
  TRect FSheetInsets{4, 24, 4, 4};
};

class TTabSheet : public TWinControl {
 public:
  TTabSheet(TPageControl* pages, const std::string& caption);
};

}  // namespace norva::tk
