#include "platform/linux/WaylandDisplayMode.h"

#include <cstdlib>
#include <memory>

#include "platform/linux/CompositorOutputs.h"
#include "platform/linux/SessionBus.h"

namespace plat::wl {
namespace {

struct Service {
  bool wayland = false;
  std::unique_ptr<Connection> connection;
  std::unique_ptr<desk::OutputConfigurator> outputs;
};

Service Choose() {
  Service s;
  s.wayland = desk::ChooseDisplaySession(std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_SESSION_TYPE")) ==
              desk::DisplaySession::Wayland;
  if (!s.wayland) return s;
  desk::OfferedInterfaces offered;
  s.connection = Connection::Open();
  if (s.connection) {
    offered.wlrootsOutputManager = s.connection->Find("zwlr_output_manager_v1") != nullptr;
    offered.kdeOutputManagement =
        s.connection->Find("kde_output_management_v2") && s.connection->Find("kde_output_device_v2");
  }
  offered.mutterDisplayConfig = dbus::NameHasOwner(dbus::SessionBus(), "org.gnome.Mutter.DisplayConfig");
  switch (desk::ChooseOutputInterface(offered)) {
    case desk::OutputInterface::Wlroots: s.outputs = OpenWlrootsOutputs(*s.connection); break;
    case desk::OutputInterface::Kde: s.outputs = OpenKdeOutputs(*s.connection); break;
    case desk::OutputInterface::Mutter: s.outputs = OpenMutterOutputs(dbus::SessionBus()); break;
    case desk::OutputInterface::Unavailable: break;  // the change fails: never XWayland's RandR
  }
  return s;
}

// How long a size or place may wait for the compositor: it answers at once unless it is stuck.
constexpr DWORD kOutputsReadTimeoutMs = 500;

}  // namespace

SessionOutputs SessionDisplayService() {
  static Service service = Choose();  // GUI thread; kept for the session
  return {service.wayland, service.outputs.get()};
}

std::optional<desk::LogicalArea> PrimaryOutputArea() {
  const SessionOutputs session = SessionDisplayService();
  if (!session.outputs) return std::nullopt;
  return desk::PrimaryLogicalArea(*session.outputs, desk::AnswerDeadline(kOutputsReadTimeoutMs));
}

}  // namespace plat::wl
