// Shell_NotifyIconA on linux: the icons this program shows, each through the host that is there
// (a StatusNotifierItem watcher first, as the desktops that have one prefer it, else an XEmbed
// tray manager). With neither, the shell refuses, as Windows' does without a notification area;
// a host that appears later is announced as "TaskbarCreated", and the icons are added again.
#include <algorithm>
#include <vector>

#include "platform/core/IconHandles.h"
#include "platform/linux/TrayHosts.h"
#include "platform/messages.h"
#include "platform/shared/NotifyIconRecord.h"

namespace plat {
namespace {

struct ShownIcon {
  tray::IconState state;
  std::unique_ptr<tray::Presenter> presenter;
};

std::vector<ShownIcon>& Icons() {
  static auto* icons = new std::vector<ShownIcon>;  // GUI thread only; lives to the end
  return *icons;
}

void Apply(tray::IconState& state, const NOTIFYICONDATAA& data) {
  if (data.uFlags & NIF_MESSAGE) state.callbackMessage = data.uCallbackMessage;
  if (data.uFlags & NIF_TIP) state.tip = shared::TipOf(data);
  if (data.uFlags & NIF_ICON) state.icon = core::IconImageOf(data.hIcon).value_or(IconImage{});
}

}  // namespace

BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data) {
  if (!data || data->cbSize < NOTIFYICONDATAA_V1_SIZE) return 0;
  tray::WatchForHosts();
  auto& icons = Icons();
  auto it = std::find_if(icons.begin(), icons.end(),
                         [&](const ShownIcon& i) { return i.state.window == data->hWnd && i.state.id == data->uID; });
  switch (message) {
    case NIM_ADD: {
      if (it != icons.end() || !IsWindow(data->hWnd)) return 0;
      ShownIcon icon;
      icon.state.window = data->hWnd;
      icon.state.id = data->uID;
      Apply(icon.state, *data);
      icon.presenter = tray::CreateStatusNotifierIcon(icon.state);
      if (!icon.presenter) {
        tray::NoteIconWithoutWatcher();
        icon.presenter = tray::CreateXEmbedIcon(icon.state);
      }
      if (!icon.presenter) return 0;
      icons.push_back(std::move(icon));
      return 1;
    }
    case NIM_MODIFY:
      if (it == icons.end()) return 0;
      Apply(it->state, *data);
      it->presenter->Update(it->state);
      if (shared::HasBalloon(*data))
        tray::ShowBalloon(it->state, shared::FieldText(data->szInfoTitle, sizeof data->szInfoTitle),
                          shared::FieldText(data->szInfo, sizeof data->szInfo), data->dwInfoFlags, data->uTimeout);
      return 1;
    case NIM_DELETE:
      if (it == icons.end()) return 0;
      tray::ForgetBalloon(it->state.window, it->state.id);
      icons.erase(it);
      return 1;
    default:
      return 0;
  }
}

namespace tray {

void PostCallback(const IconState& state, UINT code) {
  if (state.callbackMessage) PostMessageA(state.window, state.callbackMessage, state.id, static_cast<LPARAM>(code));
}

}  // namespace tray
}  // namespace plat
