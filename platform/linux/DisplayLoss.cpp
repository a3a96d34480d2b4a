// The end of the program when its X display goes away (the server ended, was killed, or the
// session logged out). Xlib calls its IO error handler on a broken connection and ends the
// process when the handler returns; GDK's own handler says nothing on stderr in that case.
#include <X11/Xlib.h>
#include <unistd.h>

#include <string>

#include "platform/linux/GtkSession.h"

namespace plat::gtk {
namespace {

constexpr int kDisplayLostStatus = 1;

[[noreturn]] int DisplayLost(Display* display) {
  const char* name = display ? DisplayString(display) : nullptr;
  const std::string text = std::string("Tavelin: lost the connection to the X display") +
                           (name && *name ? std::string(" \"") + name + "\"" : std::string()) +
                           "; the program ends.\n";
  // Nothing can be drawn or asked any more, and exit() would run destructors that talk to the
  // dead server or wait for threads: write the message and end at once.
  [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, text.data(), text.size());
  _exit(kDisplayLostStatus);
}

}  // namespace

void EndProgramWhenDisplayIsLost() { XSetIOErrorHandler(&DisplayLost); }

}  // namespace plat::gtk
