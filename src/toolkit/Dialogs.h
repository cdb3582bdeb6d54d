// The system's file-open and colour-picker dialogs.
#pragma once

#include <string>

#include "toolkit/Types.h"

namespace norva::tk {

class TOpenDialog : public TObject {
 public:
  std::string Title;
  std::string Filter;  // "description|pattern" pairs
  std::string FileName;
  bool HideReadOnly = false;
  bool Sizeable = false;
  // A picture dialog: the bitmap under the selection shows beside the list.
  bool PicturePreview = false;
  // True when the user chose a file (FileName then holds it).
  bool Execute();
};

class TColorDialog : public TObject {
 public:
  TColor Color = clBlack;
  // True when the user confirmed a colour (Color then holds it).
  bool Execute();
};

}  // namespace norva::tk
