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

class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TWinControl* parent) : TWinControl(parent) { FColor = clWindow; }
  std::vector<std::string> Items;
  int ItemIndex() const { return FItemIndex; }
  // An index outside the items selects nothing (-1).
  void SetItemIndex(int v);
  void SetItems(std::vector<std::string> items);
  TNotifyEvent OnChange;

 private:
  int FItemIndex = -1;
};

class TPanel : public TWinControl {
 public:
  using TWinControl::TWinControl;
};

class TGroupBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
};

class TTabSheet;

class TPageControl : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::vector<TTabSheet*> Pages;
  int ActivePageIndex() const { return FActive; }
  void SetActivePageIndex(int v);

 private:
  int FActive = 0;
};

class TTabSheet : public TWinControl {
 public:
  TTabSheet(TPageControl* pages, const std::string& caption);
};

}  // namespace norva::tk
