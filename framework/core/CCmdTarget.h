// Message maps and command handling. Each class declares a static table from a message or command
// number to a member handler, chained to its base class's table; commands travel along a route of
// targets (OnCmdMsg) and the first target with a handler wins.
#pragma once

#include "core/CObject.h"

class CCmdTarget;
class CCmdUI;
struct CREATESTRUCT;

// The handler's signature, so that the dispatcher calls it with the right arguments; it names the
// member of AfxHandler that holds the handler.
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

union AfxHandler {
  void (CCmdTarget::*v_v)();
  void (CCmdTarget::*v_cmdui)(CCmdUI*);
  void (CCmdTarget::*v_u)(UINT);
  int (CCmdTarget::*i_cs)(CREATESTRUCT*);
  void (CCmdTarget::*v_uii)(UINT, int, int);
  BOOL (CCmdTarget::*b_v)();
  void (CCmdTarget::*v_b)(BOOL);
  LRESULT (CCmdTarget::*l_wl)(WPARAM, LPARAM);
};

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  int nCode;
  UINT nID;
  UINT nLastID;
  AfxSig nSig;
  AfxHandler pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled instead of calling the handler when the route is only asked whether one exists.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget = nullptr;
  const AFX_MSGMAP_ENTRY* pEntry = nullptr;
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
};

#define DECLARE_MESSAGE_MAP()                       \
 protected:                                         \
  static const AFX_MSGMAP* GetThisMessageMap();     \
  const AFX_MSGMAP* GetMessageMap() const override; \
                                                    \
 private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    using ThisClass [[maybe_unused]] = theClass;                                    \
    using TheBaseClass = baseClass;                                                 \
    static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                           \
  {                                                                                 \
    0, 0, 0, 0, AfxSig::end, {}                                                     \
  }                                                                                 \
  }                                                                                 \
  ;                                                                                 \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, entries}; \
  return &messageMap;                                                               \
  }

// One entry: a handler of the class being described, stored under its signature; the static_cast
// checks that the handler has that signature.
#define AFX_ENTRY(message, code, id, lastId, sig, fn) \
  {(message), (code), (id), (lastId), AfxSig::sig, {.sig = static_cast<decltype(AfxHandler::sig)>(&ThisClass::fn)}},

#define ON_COMMAND(id, fn) AFX_ENTRY(WM_COMMAND, CN_COMMAND, id, id, v_v, fn)
#define ON_COMMAND_RANGE(id, idLast, fn) AFX_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, v_v, fn)
#define ON_COMMAND_ID(id, fn) AFX_ENTRY(WM_COMMAND, CN_COMMAND, id, id, v_u, fn)
#define ON_UPDATE_COMMAND_UI(id, fn) AFX_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, v_cmdui, fn)
#define ON_MESSAGE(msg, fn) AFX_ENTRY(msg, 0, 0, 0, l_wl, fn)
