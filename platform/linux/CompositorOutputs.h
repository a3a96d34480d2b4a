#pragma once
// The output configuration interfaces of the Wayland desktops, each behind desk::OutputConfigurator.
#include <gio/gio.h>

#include <memory>

#include "platform/linux/WaylandConnection.h"
#include "platform/shared/OutputModeChange.h"

namespace plat::wl {

// wlroots compositors (sway, Hyprland, labwc, river...): zwlr_output_manager_v1. Null when the
// compositor does not offer it.
std::unique_ptr<desk::OutputConfigurator> OpenWlrootsOutputs(Connection& connection);

// KDE Plasma (KWin): kde_output_management_v2 over the kde_output_device_v2 outputs. Null when
// the compositor does not offer it.
std::unique_ptr<desk::OutputConfigurator> OpenKdeOutputs(Connection& connection);

// GNOME (mutter): org.gnome.Mutter.DisplayConfig on the session bus. Null without a bus.
std::unique_ptr<desk::OutputConfigurator> OpenMutterOutputs(GDBusConnection* bus);

}  // namespace plat::wl
