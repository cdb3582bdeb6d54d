#include "app/HistoryForm.h"

#include <algorithm>

#include "platform/Desktop.h"
#include "toolkit/Backend.h"

namespace norva {

using platform::Os;

namespace {

// The room a cell needs around its text (the list's margins).
constexpr int kCellPadding = 16;

// Measured with the fonts of the form's own scale (its monitor's).
int TextWidth(int pixelsPerInch, const TFont& font, const std::string& text) {
  TRect rect{0, 0, 0, 0};
  CurrentBackend()
      .MeasureCanvas(pixelsPerInch)
      .DrawText(text, rect, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX, font, font.Color);
  return rect.Width();
}

}  // namespace

THistoryFrm::THistoryFrm(TForm* owner, const CleanHistory& history)
    : TForm(owner), FHistory(history) {
  Name = "HistoryFrm";
  FTexts.Add([this] { SetCaption(lang::Text(lang::TextId::HistoryTitle)); });
  BorderStyle = TBorderStyle::bsSizeable;
  BorderIcons = biSystemMenu | biMaximize;
  Position = TPosition::poScreenCenter;
  SetClientSize(600, 260);
  FVisible = false;

  pnlBottom.SetBounds(0, 0, 600, 34);
  pnlBottom.SetBevelOuter(TPanelBevel::bvNone);
  pnlBottom.SetAlign(TAlign::alBottom);
  lblTotal.SetBounds(8, 10, 300, 14);
  btnCopy.SetBounds(600 - 8 - 100, 5, 100, 24);
  FTexts.Caption(btnCopy, lang::TextId::HistoryCopy);
  FTexts.Hint(btnCopy, lang::TextId::HistoryCopyHint);
  btnCopy.OnClick = [this](TObject* s) { btnCopyClick(s); };

  lvHistory.RowSelect = true;
  lvHistory.ColumnClick = false;
  lvHistory.HideSelection = false;
  // The figures (size, time, memory) read best aligned on their right.
  const std::vector<std::string> titles = HistoryColumns();
  for (size_t i = 0; i < titles.size(); ++i)
    lvHistory.AddColumn({.Caption = titles[i],
                         .Width = 60,
                         .Alignment = i >= 2 && i + 1 < titles.size() ? TAlignment::taRightJustify
                                                                      : TAlignment::taLeftJustify});
  FTexts.Add([this] {
    const std::vector<std::string> captions = HistoryColumns();
    for (size_t i = 0; i < captions.size(); ++i)
      lvHistory.SetColumnCaption(static_cast<int>(i), captions[i]);
  });
  lvHistory.SetAlign(TAlign::alClient);
  OnResize = [this](TObject* s) { FormResize(s); };
  // The columns fit their texts as measured in the new monitor's fonts.
  OnDpiChanged = [this](TObject*) {
    if (Visible()) ShowHistory();
  };
}

void THistoryFrm::ShowHistory() {
  const std::vector<std::string> titles = HistoryColumns();
  std::vector<int> widths;
  for (const std::string& t : titles)
    widths.push_back(TextWidth(PixelsPerInch(), lvHistory.Font(), t));
  lvHistory.BeginUpdate();
  lvHistory.Clear();
  const auto& records = FHistory.Records();
  for (auto it = records.rbegin(); it != records.rend(); ++it) {
    const std::vector<std::string> texts = HistoryRow(*it);
    TListItem* item = lvHistory.AddItem(texts[0]);
    for (size_t i = 1; i < texts.size(); ++i) item->AddSubItem(texts[i]);
    for (size_t i = 0; i < texts.size() && i < widths.size(); ++i)
      widths[i] = std::max(widths[i], TextWidth(PixelsPerInch(), lvHistory.Font(), texts[i]));
  }
  lvHistory.EndUpdate();
  for (size_t i = 0; i < widths.size(); ++i)
    lvHistory.SetColumnWidth(static_cast<int>(i), widths[i] + kCellPadding);
  win::SYSTEMTIME today{};
  Os().kernel.GetLocalTime(&today);
  lblTotal.SetCaption(HistoryTotalLine(FHistory, today));
}

void THistoryFrm::ApplyTexts() {
  FTexts.Apply();
  if (Visible()) ShowHistory();
}

void THistoryFrm::btnCopyClick(TObject*) {
  if (!Os().desktop.SetClipboardText(HandleAllocated() ? Handle() : nullptr,
                                     HistoryTabText(FHistory)))
    Os().user.MessageBoxA(HandleAllocated() ? Handle() : nullptr,
                          lang::Text(lang::TextId::HistoryCopyFailed),
                          lang::Text(lang::TextId::ErrorTitle), win::MB_OK | win::MB_ICONERROR);
}

void THistoryFrm::FormResize(TObject*) {
  // The button keeps to the right-hand corner.
  btnCopy.SetLeft(std::max(lblTotal.Left() + 150, pnlBottom.Width() - 8 - btnCopy.Width()));
}

}  // namespace norva
