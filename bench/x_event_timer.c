/* Times what a program does on the X display from the X server's own events, without polling:
 * top-level windows mapped and unmapped (by title) and the screen's size changed (RandR). Prints
 * "ready" once it listens, then one line per event, with the wall-clock time at which the event
 * arrived in microseconds since the epoch (so that a launcher can subtract the moment it started
 * the program):
 *   map <us> <title>      unmap <us> <title>      screen <us> <width>x<height>
 * It ends when every condition on its command line has been seen (exit 0) or after `seconds`
 * (exit 1). Conditions: map:TITLE, unmap:TITLE, screen:WxH.
 *   x_event_timer seconds condition...                                      */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { kMaxWindows = 256 };

/* Titles of the windows seen mapped: an unmapped or destroyed window can no longer be asked. */
static struct {
  Window id;
  char title[128];
} windows[kMaxWindows];
static int window_count;

static long long now_us(void) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return (long long)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

static const char* remembered_title(Window id) {
  for (int i = 0; i < window_count; ++i)
    if (windows[i].id == id) return windows[i].title;
  return "";
}

static const char* remember_title(Display* display, Window id) {
  char* name = NULL;
  int slot = 0;
  while (slot < window_count && windows[slot].id != id) ++slot;
  if (slot == kMaxWindows) return "";
  if (slot == window_count) ++window_count;
  windows[slot].id = id;
  windows[slot].title[0] = '\0';
  if (XFetchName(display, id, &name) && name) {
    snprintf(windows[slot].title, sizeof windows[slot].title, "%s", name);
    XFree(name);
  }
  return windows[slot].title;
}

/* Marks the condition `kind:value` seen; returns how many conditions are still open. */
static int tick(char** conditions, int count, const char* kind, const char* value) {
  int open = 0;
  for (int i = 0; i < count; ++i) {
    if (!conditions[i]) continue;
    size_t k = strlen(kind);
    if (strncmp(conditions[i], kind, k) == 0 && conditions[i][k] == ':' && strcmp(conditions[i] + k + 1, value) == 0)
      conditions[i] = NULL;
    else
      ++open;
  }
  return open;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: x_event_timer seconds condition...\n");
    return 2;
  }
  const long long deadline = now_us() + atoll(argv[1]) * 1000000LL;
  char** conditions = argv + 2;
  const int count = argc - 2;
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "x_event_timer: no X display\n");
    return 2;
  }
  const Window root = DefaultRootWindow(display);
  int randr_event = 0, randr_error = 0;
  const Bool randr = XRRQueryExtension(display, &randr_event, &randr_error);
  XSelectInput(display, root, SubstructureNotifyMask);
  if (randr) XRRSelectInput(display, root, RRScreenChangeNotifyMask);
  XSync(display, False);
  printf("ready\n");
  fflush(stdout);

  int open = count;
  struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
  while (open > 0) {
    if (!XPending(display)) {
      const long long left = deadline - now_us();
      if (left <= 0 || poll(&connection, 1, (int)(left / 1000) + 1) <= 0) break;
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    const long long at = now_us();
    char value[160];
    if (event.type == MapNotify && event.xmap.event == root) {
      const char* title = remember_title(display, event.xmap.window);
      printf("map %lld %s\n", at, title);
      open = tick(conditions, count, "map", title);
    } else if (event.type == UnmapNotify && event.xunmap.event == root) {
      const char* title = remembered_title(event.xunmap.window);
      printf("unmap %lld %s\n", at, title);
      open = tick(conditions, count, "unmap", title);
    } else if (randr && event.type == randr_event + RRScreenChangeNotify) {
      const XRRScreenChangeNotifyEvent* change = (const XRRScreenChangeNotifyEvent*)&event;
      snprintf(value, sizeof value, "%dx%d", change->width, change->height);
      printf("screen %lld %s\n", at, value);
      open = tick(conditions, count, "screen", value);
    }
    fflush(stdout);
  }
  XCloseDisplay(display);
  return open == 0 ? 0 : 1;
}
