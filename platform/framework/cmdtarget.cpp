// Message-map lookups and the enable/check query object.
#include "platform/framework/cmdtarget.h"
#include "platform/framework/wnd.h"

const MsgMap* CCmdTarget::GetThisMessageMap() {
  static const MsgMapEntry entries[] = {{MapKind::Message, 0, 0, 0, 0, nullptr}};
  static const MsgMap map = {nullptr, entries};
  return &map;
}

const MsgMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

bool CCmdTarget::OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui) {
  return DispatchOwnCommand(id, action, ui);
}

bool CCmdTarget::DispatchOwnCommand(UINT id, CmdAction action, CCmdUI* ui) {
  for (const MsgMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
    for (const MsgMapEntry* e = map->entries; e->fn; ++e) {
      if (id < e->first || id > e->last) continue;
      switch (e->kind) {
        case MapKind::UpdateUI:
          if (action == CmdAction::Update) {
            if (ui) ui->m_nID = id;
            (this->*reinterpret_cast<AFX_PMSG_UI>(e->fn))(ui);
            return true;
          }
          break;
        case MapKind::Command:
          if (action == CmdAction::Probe) return true;
          if (action == CmdAction::Execute) {
            (this->*(e->fn))();
            return true;
          }
          break;
        case MapKind::CommandRange:
          if (action == CmdAction::Probe) return true;
          if (action == CmdAction::Execute) {
            (this->*reinterpret_cast<AFX_PMSG_RANGE>(e->fn))(id);
            return true;
          }
          break;
        default:
          break;
      }
    }
  }
  return false;
}

const MsgMapEntry* CCmdTarget::FindMessageEntry(UINT msg) const {
  for (const MsgMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr)
    for (const MsgMapEntry* e = map->entries; e->fn; ++e)
      if (e->kind == MapKind::Message && e->msg == msg) return e;
  return nullptr;
}

const MsgMapEntry* CCmdTarget::FindNotifyEntry(UINT code) const {
  for (const MsgMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr)
    for (const MsgMapEntry* e = map->entries; e->fn; ++e)
      if (e->kind == MapKind::Notify && e->code == code) return e;
  return nullptr;
}

void CCmdUI::Enable(BOOL on) {
  m_bEnableChanged = true;
  m_bEnabled = on != FALSE;
  if (m_pMenu) {
    EnableMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
  }
}

void CCmdUI::SetCheck(int check) {
  m_nCheck = check;
  if (m_pMenu) CheckMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
}

void CCmdUI::SetRadio(BOOL on) {
  if (m_pMenu) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    if (GetMenuItemInfoA(m_pMenu, m_nIndex, TRUE, &info) && !(info.fType & MFT_RADIOCHECK)) {
      info.fType |= MFT_RADIOCHECK;
      SetMenuItemInfoA(m_pMenu, m_nIndex, TRUE, &info);
    }
  }
  SetCheck(on ? 1 : 0);
}

void CCmdUI::SetText(const char* text) {
  m_bTextSet = true;
  m_text = text ? text : "";
  if (m_pMenu) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = const_cast<char*>(m_text.c_str());
    SetMenuItemInfoA(m_pMenu, m_nIndex, TRUE, &mii);
  }
}

bool CCmdUI::DoUpdate(CCmdTarget* target, bool disableIfNoHandler) {
  m_bEnableChanged = false;
  bool handled = target->OnCmdMsg(m_nID, CmdAction::Update, this);
  // An update handler that said nothing about enabling leaves the decision to
  // whether the command has a handler at all.
  if (disableIfNoHandler && !m_bEnableChanged)
    Enable(target->OnCmdMsg(m_nID, CmdAction::Probe, this) ? TRUE : FALSE);
  return handled;
}
