// The prompts a bar's buttons show in the frame's message pane: after the pointer has rested on a
// button for 300 ms from its arrival (entering or moving over it); at once when it moves to another button while a
// prompt is up; "Ready" again when it moves onto the bar's background, and, checked every 200 ms, once it has left the
// bar, the frame is no longer active or another window holds the mouse. Pressing a button shows its prompt at once;
// releasing brings "Ready".
#pragma once

#include <gtkmm/widget.h>
#include <sigc++/connection.h>

#include "core/Afx.h"

class CControlBar;

class FlyByPrompts {
 public:
  explicit FlyByPrompts(CControlBar& bar) : m_bar(bar) {}
  ~FlyByPrompts();
  FlyByPrompts(const FlyByPrompts&) = delete;
  FlyByPrompts& operator=(const FlyByPrompts&) = delete;

  void WatchButton(Gtk::Widget& button, UINT nID);
  void WatchBackground(Gtk::Widget& background);

  static constexpr int kRestMs = 300;
  static constexpr int kCheckMs = 200;

 private:
  // The pointer is now over the button of this command (0: off the buttons), on the bar or
  // leaving it.
  void Hover(UINT nID, bool bOnBar);
  void Show(UINT nID);
  void Clear();
  bool PointerStillOnBar() const;
  UINT CommandUnderPointer() const;

  CControlBar& m_bar;
  bool m_bPromptUp = false;
  UINT m_hoverID = 0;
  sigc::connection m_restTimer;
  sigc::connection m_checkTimer;
};
