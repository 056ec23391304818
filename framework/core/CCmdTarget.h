// Message maps and command handling. Each class declares a static table from a message or command
// number to a member handler, chained to its base class's table; commands travel along a route of
// targets (OnCmdMsg) and the first target with a handler wins.
#pragma once

#include "core/CObject.h"

class CCmdTarget;
class CCmdUI;

using AFX_PMSG = void (CCmdTarget::*)();

// The handler's signature, so that the dispatcher can call it with the right arguments.
enum class AfxSig : unsigned char {
  end,      // marks the end of a table
  v_v,      // void ()
  v_cmdui,  // void (CCmdUI*)
  v_u,      // void (UINT): a command handler told which command it got
  i_cs,     // int (CREATESTRUCT*)
  v_uii,    // void (UINT, int, int)
  b_v,      // BOOL ()
  v_b,      // void (BOOL)
  l_wl,     // LRESULT (WPARAM, LPARAM)
};

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  int nCode;
  UINT nID;
  UINT nLastID;
  AfxSig nSig;
  AFX_PMSG pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled instead of calling the handler when the route is only asked whether one exists.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget = nullptr;
  AFX_PMSG pmf = nullptr;
};

class CCmdTarget : public CObject {
 public:
  DECLARE_DYNAMIC(CCmdTarget)

  // Offers a command (CN_COMMAND) or its update request (CN_UPDATE_COMMAND_UI, pExtra = CCmdUI*)
  // to this target's map chain. Derived classes extend the route to further targets.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

  virtual const AFX_MSGMAP* GetMessageMap() const;
  static const AFX_MSGMAP* GetThisMessageMap();

  // The first entry of the chain for this message (and, for commands, code and id), or nullptr.
  static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, int nCode, UINT nID);

  template <class R, class... A>
  static AFX_PMSG Pmsg(R (CCmdTarget::*pfn)(A...)) {
    return reinterpret_cast<AFX_PMSG>(pfn);
  }
};

#define DECLARE_MESSAGE_MAP()                    \
 protected:                                      \
  static const AFX_MSGMAP* GetThisMessageMap();  \
  const AFX_MSGMAP* GetMessageMap() const override; \
                                                 \
 private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                             \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }         \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                         \
    using ThisClass = theClass;                                                             \
    using TheBaseClass = baseClass;                                                         \
    static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                          \
  {0, 0, 0, 0, AfxSig::end, nullptr}                                                 \
  }                                                                                  \
  ;                                                                                  \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, entries}; \
  return &messageMap;                                                                \
  }

// A handler of the class being described, cast to the table's common pointer type; the static_cast
// checks its signature.
#define AFX_HANDLER(type, fn) CCmdTarget::Pmsg(static_cast<type>(&ThisClass::fn))

#define ON_COMMAND(id, fn) {WM_COMMAND, CN_COMMAND, (id), (id), AfxSig::v_v, AFX_HANDLER(void (CCmdTarget::*)(), fn)},
#define ON_COMMAND_RANGE(id, idLast, fn) \
  {WM_COMMAND, CN_COMMAND, (id), (idLast), AfxSig::v_v, AFX_HANDLER(void (CCmdTarget::*)(), fn)},
#define ON_COMMAND_ID(id, fn) {WM_COMMAND, CN_COMMAND, (id), (id), AfxSig::v_u, AFX_HANDLER(void (CCmdTarget::*)(UINT), fn)},
#define ON_UPDATE_COMMAND_UI(id, fn) \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, (id), (id), AfxSig::v_cmdui, AFX_HANDLER(void (CCmdTarget::*)(CCmdUI*), fn)},
#define ON_MESSAGE(msg, fn) {(msg), 0, 0, 0, AfxSig::l_wl, AFX_HANDLER(LRESULT (CCmdTarget::*)(WPARAM, LPARAM), fn)},
