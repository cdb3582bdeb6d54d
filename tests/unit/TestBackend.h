// A minimal toolkit backend for tests of windowless controls: windowed
// controls get a peer that records what is invalidated, and text is measured
// on a recording canvas. Everything else does nothing.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "toolkit/Backend.h"
#include "toolkit/headless/RecordingCanvas.h"

namespace norva::testbackend {

// Every Invalidate call of every peer, in order; nullopt for "all of it".
struct InvalidationLog {
  std::vector<std::optional<tk::TRect>> areas;
};

class RecordingPeer : public tk::ControlPeer {
 public:
  explicit RecordingPeer(InvalidationLog& log) : FLog(log) {}
  win::HWND Handle() const override { return reinterpret_cast<win::HWND>(const_cast<RecordingPeer*>(this)); }
  void Update(tk::TChange) override {}
  void Invalidate(const tk::TRect* area) override {
    FLog.areas.push_back(area != nullptr ? std::optional<tk::TRect>(*area) : std::nullopt);
  }
  void DefaultHandler(tk::TMessage&) override {}

 private:
  InvalidationLog& FLog;
};

class TestBackend : public tk::Backend {
 public:
  TestBackend() { tk::InstallBackend(this); }
  ~TestBackend() override { tk::InstallBackend(nullptr); }

  InvalidationLog Invalidations;
  tk::RecordingCanvas Measurer;

  std::unique_ptr<tk::ControlPeer> CreatePeer(tk::TWinControl&) override {
    return std::make_unique<RecordingPeer>(Invalidations);
  }
  tk::TCanvas& MeasureCanvas() override { return Measurer; }
  win::HWND CreateApplicationWindow(const std::string&) override { return nullptr; }
  void RunMessageLoop() override {}
  void QuitMessageLoop() override {}
  void ProcessMessages() override {}
  void RunModalLoop(const std::function<bool()>&) override {}
  void StartTimer(tk::TTimer&) override {}
  void StopTimer(tk::TTimer&) override {}
  void MinimizeApplication() override {}
  void RestoreApplication() override {}
  void RestoreTopMosts() override {}
  void TrackPopupMenu(tk::TPopupMenu&, int, int) override {}
  bool ExecuteOpenDialog(tk::TOpenDialog&) override { return false; }
  bool ExecuteColorDialog(tk::TColorDialog&) override { return false; }
};

}  // namespace norva::testbackend
