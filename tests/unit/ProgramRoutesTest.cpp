// Who handles each of the program's commands, and whether it is enabled: the real application,
// frame, document, template and view classes, wired as at run time but without windows.
#include <gtest/gtest.h>

#include "app/FOLIOSCP.h"
#include "app/MainFrm.h"
#include "content/FOLIOSCPDoc.h"
#include "content/FOLIOSCPView.h"
#include "core/CCmdUI.h"
#include "doc/CSingleDocTemplate.h"
#include "resources/Resource.h"
#include "resources/Resources.h"

namespace {

TEST(ProgramRoutes, EveryCommandReachesItsHandler) {
  AfxSetResourceModule(&ProgramResources());
  CSingleDocTemplate docTemplate(IDR_MAINRES, RUNTIME_CLASS(CFOLIOSCPDoc), RUNTIME_CLASS(CMainFrame),
                                 RUNTIME_CLASS(CFOLIOSCPView));
  auto* doc = static_cast<CFOLIOSCPDoc*>(RUNTIME_CLASS(CFOLIOSCPDoc)->CreateObject());
  doc->m_bAutoDelete = false;
  docTemplate.AddDocument(doc);
  auto* view = static_cast<CFOLIOSCPView*>(RUNTIME_CLASS(CFOLIOSCPView)->CreateObject());
  doc->AddView(view);
  auto* frame = static_cast<CMainFrame*>(RUNTIME_CLASS(CMainFrame)->CreateObject());
  frame->SetActiveView(view);

  enum Target { nobody, V, D, T, F, A };
  auto who = [&](CCmdTarget* target) {
    return target == view           ? V
           : target == doc          ? D
           : target == &docTemplate ? T
           : target == frame        ? F
           : target == &theApp      ? A
                                    : nobody;
  };
  struct Case {
    UINT id;
    Target handler;
    bool enabled;
  };
  const Case cases[] = {
      {ID_FILE_NEW, A, true},         {ID_FILE_OPEN, A, true},
      {ID_FILE_SAVE, D, true},        {ID_FILE_SAVE_AS, D, true},
      {ID_FILE_CLOSE, D, true},       {ID_FILE_PRINT, V, true},
      {ID_FILE_PRINT_SETUP, A, true}, {ID_APP_EXIT, A, true},
      {ID_APP_ABOUT, A, true},        {ID_EDIT_UNDO, nobody, false},
      {ID_EDIT_CUT, nobody, false},   {ID_EDIT_COPY, nobody, false},
      {ID_EDIT_PASTE, nobody, false}, {ID_VIEW_TOOLBAR, F, true},
      {ID_VIEW_STATUS_BAR, F, true},  {ID_BACK_BROWSER, V, true},
      {ID_FORWARD_BROWSER, V, true},  {ID_NEXT_PANE, V, false},
      {ID_PREV_PANE, V, false},       {ID_WINDOW_SPLIT, V, false},
      {ID_FILE_MRU_FILE1, A, false},  {ID_FILE_PRINT_DIRECT, nobody, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    AFX_CMDHANDLERINFO info;
    frame->OnCmdMsg(c.id, CN_COMMAND, nullptr, &info);
    EXPECT_EQ(who(info.pTarget), c.handler);
    CCmdUI state;
    state.m_nID = c.id;
    state.DoUpdate(frame, true);
    // The bar toggles are checked while their bar shows; without windows there is no bar.
    if (c.id != ID_VIEW_TOOLBAR && c.id != ID_VIEW_STATUS_BAR) {
      EXPECT_EQ(state.m_bEnabled, c.enabled);
    }
  }
  delete frame;
  delete view;
  docTemplate.RemoveDocument(doc);
  delete doc;
}

}  // namespace
