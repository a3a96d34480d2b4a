#pragma once
// The GtkFixed that is a GTK form peer's client area, where its controls go.
#include <gtk/gtk.h>

#include "platform/peers.h"

namespace plat::gtk {

GtkWidget* ClientArea(FormPeer& form);

}  // namespace plat::gtk
