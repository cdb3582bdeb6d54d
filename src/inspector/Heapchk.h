// The system inspector window: the running processes as a list and a tree
// with their priority classes and working-set limits (and the actions on
// them), the heaps, heap blocks and modules of a chosen process, the threads
// of the system, and the tab of the graph of free memory and processor load.
// The rows and their rules live in inspector/ProcessRows and
// inspector/ReadProtocol; this class wires them to the controls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "components/Perfgrap.h"
#include "inspector/ReadProtocol.h"
#include "lang/WindowTexts.h"
#include "platform/Toolhelp.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/Menus.h"
#include "toolkit/Splitter.h"
#include "toolkit/StdCtrls.h"

namespace norva {

class THeapChkFrm : public tk::TForm, public inspector::ReadProtocol {
 public:
  explicit THeapChkFrm(tk::TForm* owner);

  // Top strip and the main tabs.
  tk::TPanel pnlBkTop{this};
  tk::TButton btnReset{&pnlBkTop};
  tk::TPageControl pgcChkMain{this};
  tk::TTabSheet tbsProcess{&pgcChkMain, ""};
  tk::TTabSheet tbsHeap{&pgcChkMain, ""};
  tk::TTabSheet tbsThread{&pgcChkMain, ""};
  tk::TTabSheet tbsGraph{&pgcChkMain, ""};

  // Process tab.
  tk::TPanel pnlActPrcTopBk{&tbsProcess};
  tk::TLabel lblActPrcTopProc{&pnlActPrcTopBk};
  tk::TComboBox cmbActPrcPriority{&pnlActPrcTopBk};
  tk::TButton btnSetPriority{&pnlActPrcTopBk};
  tk::TCheckBox ckbFullPath{&pnlActPrcTopBk};
  tk::TLabel lblMinSize{&pnlActPrcTopBk};
  tk::TEdit edtMinSize{&pnlActPrcTopBk};
  tk::TLabel lblMaxSize{&pnlActPrcTopBk};
  tk::TEdit edtMaxSize{&pnlActPrcTopBk};
  tk::TButton btnSetWorkingSize{&pnlActPrcTopBk};
  tk::TButton btnTerminate{&pnlActPrcTopBk};
  tk::TPageControl tpgActiveProc{&tbsProcess};
  tk::TTabSheet tbsThreadList{&tpgActiveProc, ""};
  tk::TTabSheet tbsThreadTree{&tpgActiveProc, ""};
  tk::TListView lvActiveProcess{&tbsThreadList};
  tk::TTreeView tvActiveProcess{&tbsThreadTree};
  tk::TPopupMenu popMenuProcTree;
  tk::TMenuItem* pmnuTreeOpen = nullptr;
  tk::TMenuItem* pmnuTreeClose = nullptr;

  // Heap tab.
  tk::TPanel pnlHpListTopBk{&tbsHeap};
  tk::TLabel lblHpLstTopProc{&pnlHpListTopBk};
  tk::TComboBox cmbTargetProc{&pnlHpListTopBk};
  tk::TButton btnReadStop{&pnlHpListTopBk};
  tk::TLabel lblReadCount{&pnlHpListTopBk};
  tk::TListView lvHeapList{&tbsHeap};
  tk::TSplitter splHeapList{&tbsHeap};
  tk::TPanel pnlHeapRight{&tbsHeap};
  tk::TListView lvModule{&pnlHeapRight};
  tk::TSplitter splModule{&pnlHeapRight};
  tk::TListView lvHeapBlock{&pnlHeapRight};

  // Thread tab.
  tk::TListView lvThread{&tbsThread};

  // Graph tab: the range panel and the graph in the rest of the tab.
  tk::TPanel pnlGrpRange{&tbsGraph};
  tk::TLabel lblGrpRangeMax{&pnlGrpRange};
  tk::TLabel lblRecture{&pnlGrpRange};
  tk::TLabel lblGrpRangeMin{&pnlGrpRange};
  // The strip chart the main window's sub timer feeds once a second (free
  // memory in red, processor load in yellow), shown or not.
  components::TPerformanceGraph pgpMainGraph{&tbsGraph};

  // Operations.
  void ReadProcessList();
  // The process selected in cmbTargetProc if it still runs, else 0.
  win::DWORD GetTargetProcessID();
  void ReadHeapList();
  void ReadModuleList();
  void ReadHeapBlocks(win::DWORD ProcessID, win::ULONG_PTR HeapID);
  void ReadThreadList();

  // Handlers.
  void FormCreate(tk::TObject* Sender);
  void FormShow(tk::TObject* Sender);
  void FormClose(tk::TObject* Sender, tk::TCloseAction& Action);
  void FormResize(tk::TObject* Sender);
  void pgcChkMainChange(tk::TObject* Sender);
  void btnResetClick(tk::TObject* Sender);
  void ckbFullPathClick(tk::TObject* Sender);
  void lvActiveProcessSelectItem(tk::TObject* Sender, tk::TListItem* Item, bool Selected);
  void lvActiveProcessEnter(tk::TObject* Sender);
  void ListViewClick(tk::TObject* Sender);
  void tpgActiveProcChange(tk::TObject* Sender);
  void btnSetPriorityClick(tk::TObject* Sender);
  void btnSetWorkingSizeClick(tk::TObject* Sender);
  void btnTerminateClick(tk::TObject* Sender);
  void edtMinSizeKeyPress(tk::TObject* Sender, char& Key);
  void pmnuTreeOpenClick(tk::TObject* Sender);
  void pmnuTreeCloseClick(tk::TObject* Sender);
  void cmbTargetProcChange(tk::TObject* Sender);
  void lvHeapListSelectItem(tk::TObject* Sender, tk::TListItem* Item, bool Selected);
  void btnReadStopClick(tk::TObject* Sender);

 protected:
  void ProcessMessages() override;
  void ShowReadCount(const std::string& text) override;
  void ShowReadStop(bool visible) override;

 public:
  // Shows every text of the window anew, in the current language.
  void ApplyTexts();

 private:
  void BuildLayout();
  // Sets the bounds, and the caption and hint that the texts keep.
  void Place(tk::TControl& c, int left, int top, int width, int height,
             std::optional<lang::TextId> caption = {}, std::optional<lang::TextId> hint = {});
  struct ColumnText {
    lang::TextId caption;
    int width;
    tk::TAlignment alignment = tk::TAlignment::taLeftJustify;
  };
  void AddColumns(tk::TListView& list, std::initializer_list<ColumnText> columns);
  void SetUpList(tk::TListView& list, lang::TextId hint);
  lang::TWindowTexts FTexts;
  void WireEvents();
  // Yes/No question with the exclamation icon; true for Yes.
  bool Ask(const std::string& text, const char* caption);
  void ShowError(const char* text);
  bool ProcessTabActive() const;
  void EnableActions(bool all);
  // Whether the target that an action has just opened (the handle keeps
  // its ID from changing hands) is no longer the process its entry was read
  // from: it exited and the system gave its ID to another.
  bool TargetRecycled(win::DWORD target) const;
  // The creation time read with each entry of cmbTargetProc (none where the
  // process could not be asked), in the entries' order.
  std::vector<std::optional<uint64_t>> FTargetCreation;
};

extern THeapChkFrm* HeapChkFrm;

}  // namespace norva
