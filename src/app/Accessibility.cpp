// What a screen reader reads of the main window: its parts in reading order
// (the memory load, the processor load when shown, each row's free, used and
// total, the five buttons), each named from the texts the window shows; the
// value-change event at most once a second; and the keyboard's mark that
// Tab and Shift+Tab move over the buttons and Enter or Space presses.
#include <array>

#include "app/Main.h"

namespace norva {

using platform::AccessibleChild;
using platform::Os;

namespace {

// A reader's default action, posted to the window so that the reader's call
// returns before the button runs (a dialog, a whole cleaning).
constexpr win::UINT kAccessibleActionMessage = win::WM_USER + 0x1A1;

// The five buttons from the left, and their white twins over a picture.
std::array<TSpeedButton*, 5> Buttons(TMainForm& f) {
  return {&f.sbtnConfig, &f.sbtnGetMem, &f.sbtnMemHeap, &f.sbtnMinimize, &f.sbtnClose};
}
std::array<TSpeedButton*, 5> Twins(TMainForm& f) {
  return {&f.sbtnWConfig, &f.sbtnWGetMem, &f.sbtnWMemHeap, &f.sbtnWMinimize, &f.sbtnWClose};
}

class MainAccessibleSource final : public platform::IAccessibleSource {
 public:
  explicit MainAccessibleSource(TMainForm& form) : FForm(form) {}
  ~MainAccessibleSource() override { Os().accessibility.Disconnect(*this); }
  std::string AccessibleName() override { return FForm.Caption(); }
  std::vector<AccessibleChild> AccessibleChildren() override { return FForm.AccessibleParts(); }
  bool DoAccessibleAction(size_t index) override { return FForm.AccessibleAction(index); }

 private:
  TMainForm& FForm;
};

}  // namespace

std::vector<AccessibleChild> TMainForm::AccessibleParts() {
  // Screen pixels: the window's place plus the control's place at the
  // scale of the window's monitor.
  const auto place = [this](const TControl& c) {
    return win::RECT{Left() + ToScreen(c.Left()), Top() + ToScreen(c.Top()),
                     Left() + ToScreen(c.Left() + c.Width()),
                     Top() + ToScreen(c.Top() + c.Height())};
  };
  std::vector<AccessibleChild> parts;
  const auto figure = [&](const TControl& c, std::string name, std::string value) {
    AccessibleChild part;
    part.name = std::move(name);
    part.value = std::move(value);
    part.role = win::ROLE_SYSTEM_STATICTEXT;
    part.state = win::STATE_SYSTEM_READONLY;
    part.screen = place(c);
    parts.push_back(std::move(part));
  };

  figure(nlblUsePer, HintHead(nlblUsePer.Hint()), Trimmed(nlblUsePer.Caption()));
  if (nlblCpuUsePer.Visible()) {
    const WordAndFigure cpu = SplitWordAndFigure(nlblCpuUsePer.Caption());
    figure(nlblCpuUsePer, cpu.word, cpu.figure);
  }
  // Each row by its title's hint ("物理メモリ"), each column by the title
  // row's word above it ("空き").
  const std::vector<std::string> columns = TitleWords(nlblTitleInfo.Caption());
  const struct {
    TNovelLabel& title;
    TNovelLabel* figures[3];
  } rows[] = {{nlblTitlePhysical, {&nlblPhysicalFree, &nlblPhysicalUse, &nlblPhysicalTotal}},
              {nlblPageTitle, {&nlblPageFree, &nlblPageUse, &nlblPageTotal}},
              {nlblVirtualTitle, {&nlblVirtualFree, &nlblVirtualUse, &nlblVirtualTotal}}};
  for (const auto& row : rows) {
    std::string rowName = HintHead(row.title.Hint());
    if (rowName.empty()) rowName = Trimmed(row.title.Caption());
    for (size_t column = 0; column < 3; ++column) {
      std::string name = rowName;
      if (column < columns.size()) name += " " + columns[column];
      figure(*row.figures[column], name, Trimmed(row.figures[column]->Caption()));
    }
  }

  // While a cleaning runs, its progress and stop button lie over the top row.
  const bool cleaningShown = stcInfo.Top() < Height();
  if (cleaningShown) figure(stcInfo, Trimmed(stcInfo.Caption()), "");
  const auto button = [&](const TControl& c, bool marked) {
    AccessibleChild part;
    part.name = c.Caption();
    part.description = c.Hint();
    // A button's own action, as a reader is told it.
    part.defaultAction = lang::Text(lang::TextId::AccessiblePressAction);
    part.role = win::ROLE_SYSTEM_PUSHBUTTON;
    part.state = win::STATE_SYSTEM_FOCUSABLE | (marked ? win::STATE_SYSTEM_FOCUSED : 0);
    part.screen = place(c);
    parts.push_back(std::move(part));
  };
  if (cleaningShown) button(btnStop, false);
  for (int i = 0; i < 5; ++i) button(*Buttons(*this)[i], FActive && FButtonMark.Marked() == i);
  return parts;
}

bool TMainForm::AccessibleAction(size_t index) {
  // The buttons are the last parts, the stop button before them when shown.
  const std::vector<AccessibleChild> parts = AccessibleParts();
  if (index >= parts.size() || parts[index].role != win::ROLE_SYSTEM_PUSHBUTTON) return false;
  const int number = static_cast<int>(index) - static_cast<int>(parts.size() - 5);
  Os().user.PostMessageA(Handle(), kAccessibleActionMessage, static_cast<win::WPARAM>(number + 1),
                         0);
  return true;
}

// Number 0..4: the five buttons from the left; -1: the cleaning's stop button.
void TMainForm::PressButton(int number) {
  if (number == -1) {
    btnStop.Click();
    return;
  }
  if (number >= 0 && number < 5) Buttons(*this)[number]->Click();
}

void TMainForm::ShowButtonMark() {
  for (int i = 0; i < 5; ++i) {
    const bool marked = FActive && FButtonMark.Marked() == i;
    Buttons(*this)[i]->SetMarked(marked);
    Twins(*this)[i]->SetMarked(marked);
  }
}

bool TMainForm::AccessibilityMessage(TMessage& Message) {
  if (Message.Msg == win::WM_GETOBJECT) {
    if (!FAccessibleSource) FAccessibleSource = std::make_unique<MainAccessibleSource>(*this);
    Message.Handled = Os().accessibility.AnswerClientObject(
        Handle(), Message.WParam, Message.LParam, *FAccessibleSource, &Message.Result);
    return Message.Handled;
  }
  if (Message.Msg == win::WM_ACTIVATE) {
    // The mark shows only while the window is the active one; it is kept.
    FActive = (Message.WParam & 0xFFFF) != win::WA_INACTIVE;
    ShowButtonMark();
    return false;
  }
  if (Message.Msg == kAccessibleActionMessage) {
    PressButton(static_cast<int>(Message.WParam) - 1);
    Message.Handled = true;
    return true;
  }
  if (Message.Msg != win::WM_KEYDOWN || FCleaning) return false;
  const bool shift = Os().user.GetKeyState(win::VK_SHIFT) < 0;
  const ButtonMark::Key key = FButtonMark.KeyDown(static_cast<int>(Message.WParam), shift);
  if (key == ButtonMark::Key::Ignored) return false;
  Message.Handled = true;
  if (key == ButtonMark::Key::Press) {
    PressButton(FButtonMark.Marked());
    return true;
  }
  FActive = true;  // a key reached the window: it is the active one
  ShowButtonMark();
  // A reader says the newly marked button (its child number: after the
  // figures, counted from 1).
  const std::vector<AccessibleChild> parts = AccessibleParts();
  const auto child = static_cast<win::LONG>(parts.size() - 5 + FButtonMark.Marked() + 1);
  Os().accessibility.NotifyWinEvent(win::EVENT_OBJECT_FOCUS, Handle(), win::OBJID_CLIENT, child);
  return true;
}

void TMainForm::TellChanges(bool changed) {
  if (!FChangeTeller.Tick(changed, Os().kernel.GetTickCount()) || !HandleAllocated()) return;
  Os().accessibility.NotifyWinEvent(win::EVENT_OBJECT_VALUECHANGE, Handle(), win::OBJID_CLIENT,
                                    win::CHILDID_SELF);
}

}  // namespace norva
