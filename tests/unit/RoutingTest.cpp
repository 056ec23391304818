// Command routing and enabling: view, document, template, frame, application; the first handler
// wins, a command nobody handles is disabled, and an update handler's verdict holds for running.
#include <gtest/gtest.h>

#include "app/CWinApp.h"
#include "core/CCmdUI.h"
#include "doc/CDocument.h"
#include "doc/CSingleDocTemplate.h"
#include "window/CFrameWnd.h"
#include "window/CView.h"

namespace {

std::string trace;

// Command numbers: each names the route's targets that handle it, by their letters.
enum : UINT { kV = 1, kD, kT, kF, kA, kVDTFA, kDF, kNobody, kDisabledByDoc, kCheckedByFrame };

class TView : public CView {
  void OnV() { trace += "V"; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TView, CView)
  ON_COMMAND(kV, OnV)
  ON_COMMAND(kVDTFA, OnV)
END_MESSAGE_MAP()

class TDoc : public CDocument {
  void OnD() { trace += "D"; }
  void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TDoc, CDocument)
  ON_COMMAND(kD, OnD)
  ON_COMMAND(kVDTFA, OnD)
  ON_COMMAND(kDF, OnD)
  ON_COMMAND(kDisabledByDoc, OnD)
  ON_UPDATE_COMMAND_UI(kDisabledByDoc, OnUpdateDisabled)
END_MESSAGE_MAP()

class TTemplate : public CSingleDocTemplate {
 public:
  TTemplate() : CSingleDocTemplate(0, nullptr, nullptr, nullptr) {}
  void OnT() { trace += "T"; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TTemplate, CSingleDocTemplate)
  ON_COMMAND(kT, OnT)
  ON_COMMAND(kVDTFA, OnT)
END_MESSAGE_MAP()

class TFrame : public CFrameWnd {
  void OnF() { trace += "F"; }
  void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TFrame, CFrameWnd)
  ON_COMMAND(kF, OnF)
  ON_COMMAND(kVDTFA, OnF)
  ON_COMMAND(kDF, OnF)
  ON_COMMAND(kCheckedByFrame, OnF)
  ON_UPDATE_COMMAND_UI(kCheckedByFrame, OnUpdateChecked)
END_MESSAGE_MAP()

class TApp : public CWinApp {
  void OnA() { trace += "A"; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TApp, CWinApp)
  ON_COMMAND(kA, OnA)
  ON_COMMAND(kVDTFA, OnA)
END_MESSAGE_MAP()

// One of each, wired as a running program wires them, without windows.
struct Route {
  TApp app;
  TTemplate docTemplate;
  TDoc doc;
  TView view;
  TFrame frame;
  Route() {
    doc.m_bAutoDelete = false;
    docTemplate.AddDocument(&doc);
    doc.AddView(&view);
    frame.SetActiveView(&view);
  }
  ~Route() { docTemplate.RemoveDocument(&doc); }
};

TEST(Routing, FirstHandlerOnTheRouteWinsAndEnablingFollowsTheRoute) {
  struct Case {
    UINT id;
    const char* ran;
    bool enabled;
    int check;
  };
  const Case cases[] = {
      {kV, "V", true, 0},
      {kD, "D", true, 0},
      {kT, "T", true, 0},
      {kF, "F", true, 0},
      {kA, "A", true, 0},
      {kVDTFA, "V", true, 0},
      {kDF, "D", true, 0},
      {kNobody, "", false, 0},
      {kDisabledByDoc, "", false, 0},  // disabled by its update handler: not run
      {kCheckedByFrame, "F", true, 1},
  };
  Route route;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    CCmdUI state;
    state.m_nID = c.id;
    state.DoUpdate(&route.frame, true);
    EXPECT_EQ(state.m_bEnabled, c.enabled);
    EXPECT_EQ(state.m_nCheck, c.check);
    trace.clear();
    route.frame.SendMessage(WM_COMMAND, c.id);
    EXPECT_EQ(trace, c.ran);
  }
}

TEST(Routing, MessageMapsChainToTheBaseAndRuntimeClassesKnowTheirBases) {
  Route route;
  EXPECT_TRUE(route.frame.IsKindOf(RUNTIME_CLASS(CFrameWnd)));
  EXPECT_TRUE(route.view.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
  EXPECT_FALSE(route.view.IsKindOf(RUNTIME_CLASS(CDocument)));
  // The frame's base map carries the bar commands; the view's base map the pane commands, disabled.
  for (UINT id : {UINT(0xE150), UINT(0xE151)}) {
    CCmdUI state;
    state.m_nID = id;
    state.DoUpdate(&route.frame, true);
    EXPECT_FALSE(state.m_bEnabled) << id;
  }
  CObject* created = RUNTIME_CLASS(CFrameWnd)->CreateObject();
  ASSERT_NE(created, nullptr);
  EXPECT_TRUE(created->IsKindOf(RUNTIME_CLASS(CWnd)));
  delete created;
  EXPECT_EQ(RUNTIME_CLASS(CDocument)->CreateObject(), nullptr);  // not dynamically creatable
}

}  // namespace
