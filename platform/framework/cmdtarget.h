// Command targets, message maps and the enable/check query object (CCmdUI).
// A class lists its handlers in a short static table that chains to its base
// class's table; lookups walk the chain from the most derived class upwards.
#pragma once
#include <windows.h>
#include <string>

class CCmdTarget;
class CCmdUI;
class CWnd;

using AFX_PMSG = void (CCmdTarget::*)();

enum class MapKind : unsigned char {
  Message,        // LRESULT (T::*)(WPARAM, LPARAM)           message id in `msg`
  Command,        // void (T::*)()                            ids [first, last]
  CommandRange,   // void (T::*)(UINT id)                     ids [first, last]
  UpdateUI,       // void (T::*)(CCmdUI*)                     ids [first, last]
  Notify,         // void (T::*)()    reflected WM_COMMAND notification `code`
};

struct MsgMapEntry {
  MapKind kind;
  UINT msg;    // window message (Message)
  UINT first;  // command id range (Command*, UpdateUI)
  UINT last;
  UINT code;   // notification code (Notify)
  AFX_PMSG fn;
};

struct MsgMap {
  const MsgMap* (*base)();
  const MsgMapEntry* entries;  // ends with an entry whose fn is null
};

// Handler signatures, cast to the common member pointer type for the table.
using AFX_PMSG_MSG = LRESULT (CCmdTarget::*)(WPARAM, LPARAM);
using AFX_PMSG_RANGE = void (CCmdTarget::*)(UINT);
using AFX_PMSG_UI = void (CCmdTarget::*)(CCmdUI*);

#define DECLARE_MESSAGE_MAP()                      \
 public:                                           \
  static const MsgMap* GetThisMessageMap();        \
  const MsgMap* GetMessageMap() const override;    \
                                                   \
 private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const MsgMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }     \
  const MsgMap* theClass::GetThisMessageMap() {                                     \
    using ThisClass = theClass;                                                     \
    (void)sizeof(ThisClass);                                                        \
    static const MsgMapEntry entries[] = {
#define END_MESSAGE_MAP(baseClass)                             \
  { MapKind::Message, 0, 0, 0, 0, nullptr } };                 \
  static const MsgMap map = {&baseClass::GetThisMessageMap, entries}; \
  return &map;                                                 \
  }

#define ON_MESSAGE(m, fn) \
  {MapKind::Message, m, 0, 0, 0, reinterpret_cast<AFX_PMSG>(static_cast<LRESULT (ThisClass::*)(WPARAM, LPARAM)>(&ThisClass::fn))},
// A message registered at run time: `m` is read when the map is first used.
#define ON_REGISTERED_MESSAGE(m, fn) ON_MESSAGE(m, fn)
#define ON_COMMAND(id, fn) \
  {MapKind::Command, 0, id, id, 0, static_cast<AFX_PMSG>(static_cast<void (ThisClass::*)()>(&ThisClass::fn))},
#define ON_COMMAND_RANGE(a, b, fn) \
  {MapKind::CommandRange, 0, a, b, 0, reinterpret_cast<AFX_PMSG>(static_cast<void (ThisClass::*)(UINT)>(&ThisClass::fn))},
#define ON_UPDATE_COMMAND_UI(id, fn) \
  {MapKind::UpdateUI, 0, id, id, 0, reinterpret_cast<AFX_PMSG>(static_cast<void (ThisClass::*)(CCmdUI*)>(&ThisClass::fn))},
#define ON_UPDATE_COMMAND_UI_RANGE(a, b, fn) \
  {MapKind::UpdateUI, 0, a, b, 0, reinterpret_cast<AFX_PMSG>(static_cast<void (ThisClass::*)(CCmdUI*)>(&ThisClass::fn))},
#define ON_CONTROL_REFLECT(code, fn) \
  {MapKind::Notify, 0, 0, 0, code, static_cast<AFX_PMSG>(static_cast<void (ThisClass::*)()>(&ThisClass::fn))},

// What a command lookup is asked to do.
enum class CmdAction {
  Execute,   // run the command handler
  Update,    // run the enable/check handler with the CCmdUI
  Probe,     // only tell whether a command handler exists
};

class CCmdTarget {
 public:
  virtual ~CCmdTarget() = default;
  static const MsgMap* GetThisMessageMap();
  virtual const MsgMap* GetMessageMap() const;

  // Offers a command (or its enable query) to this target and the targets it
  // routes to. Returns true when some handler took it.
  virtual bool OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui);

 protected:
  // Looks only in this object's own map chain.
  bool DispatchOwnCommand(UINT id, CmdAction action, CCmdUI* ui);
  const MsgMapEntry* FindMessageEntry(UINT msg) const;
  const MsgMapEntry* FindNotifyEntry(UINT code) const;
};

// One enable/check query for one command id, for a menu item, a toolbar button
// or a status-bar pane. The object remembers what the handler said.
class CCmdUI {
 public:
  UINT m_nID = 0;
  HMENU m_pMenu = nullptr;     // menu item target (by position)
  UINT m_nIndex = 0;
  CWnd* m_pOther = nullptr;    // toolbar or status bar
  bool m_bEnableChanged = false;
  bool m_bEnabled = true;
  int m_nCheck = -1;           // -1 not set
  bool m_bTextSet = false;
  std::string m_text;

  virtual ~CCmdUI() = default;
  virtual void Enable(BOOL on = TRUE);
  virtual void SetCheck(int check = 1);
  // A menu item shows a bullet rather than a tick.
  virtual void SetRadio(BOOL on = TRUE);
  virtual void SetText(const char* text);

  // Asks `target` (routing included); a command with no update handler is
  // enabled when some command handler exists and disabled otherwise.
  bool DoUpdate(CCmdTarget* target, bool disableIfNoHandler = true);
};
