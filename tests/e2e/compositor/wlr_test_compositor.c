// A minimal wlroots compositor for the display-mode tests: headless outputs that accept the
// modes the test lists, wlroots' own output management, XWayland for the program's windows.
//
//   wlr_test_compositor --modes 800x600,1024x768 --output 800x600 [--output 1024x768 ...]
//                       [--refuse WxH] [--cancel N] --ready FILE
//
// Each output offers every listed mode and starts at its --output size; outputs stand side by
// side from (0,0). --refuse lists a mode that applying fails for (the compositor refusing).
// --cancel N cancels the next N configurations a client creates (the outputs change under
// them). Once XWayland is ready, FILE receives "WAYLAND_DISPLAY=... DISPLAY=..." lines.
#define _POSIX_C_SOURCE 200809L
#define WLR_USE_UNSTABLE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-server-core.h>
#include <wlr/backend.h>
#include <wlr/backend/headless.h>
#include <wlr/interfaces/wlr_output.h>
#include <wlr/render/allocator.h>
#include <wlr/render/wlr_renderer.h>
#include <wlr/types/wlr_compositor.h>
#include <wlr/types/wlr_data_device.h>
#include <wlr/types/wlr_output.h>
#include <wlr/types/wlr_output_layout.h>
#include <wlr/types/wlr_output_management_v1.h>
#include <wlr/types/wlr_scene.h>
#include <wlr/types/wlr_seat.h>
#include <wlr/types/wlr_xdg_output_v1.h>
#include <wlr/util/log.h>
#include <wlr/xwayland.h>

#define MAX_MODES 16
#define MAX_OUTPUTS 4

struct size { int width, height; };

static struct {
  struct wl_display *display;
  struct wlr_backend *backend;
  struct wlr_renderer *renderer;
  struct wlr_allocator *allocator;
  struct wlr_scene *scene;
  struct wlr_output_layout *layout;
  struct wlr_output_manager_v1 *manager;
  struct wlr_xwayland *xwayland;
  struct size modes[MAX_MODES];
  int mode_count;
  struct size starts[MAX_OUTPUTS];
  int output_count;
  struct size refused;
  int cancels;
  const char *ready_path;
  const char *socket;
  struct wl_listener new_output, apply, test, xwayland_ready, new_xsurface, client_created;
} c;

struct output {
  struct wlr_output *wlr;
  struct wlr_scene_output *scene;
  struct wl_listener frame, destroy;
};

struct xsurface {
  struct wlr_xwayland_surface *x;
  struct wlr_scene_surface *scene;
  struct wl_listener map, unmap, destroy, configure;
};

static int parse_size(const char *text, struct size *out) {
  return sscanf(text, "%dx%d", &out->width, &out->height) == 2;
}

static struct wlr_output_mode *listed_mode(struct wlr_output *output, int width, int height) {
  struct wlr_output_mode *m;
  wl_list_for_each(m, &output->modes, link) {
    if (m->width == width && m->height == height) return m;
  }
  return NULL;
}

// The headless backend takes any size as a custom mode; the output then reports the listed mode
// it now shows, so that clients see one of the modes it offers.
static int show_mode(struct wlr_output *output, struct wlr_output_mode *mode) {
  wlr_output_set_custom_mode(output, mode->width, mode->height, mode->refresh);
  if (!wlr_output_commit(output)) return 0;
  wlr_output_update_mode(output, mode);
  return 1;
}

static void publish_configuration(void) {
  struct wlr_output_configuration_v1 *config = wlr_output_configuration_v1_create();
  struct wlr_output_layout_output *lo;
  wl_list_for_each(lo, &c.layout->outputs, link) {
    struct wlr_output_configuration_head_v1 *head = wlr_output_configuration_head_v1_create(config, lo->output);
    head->state.x = lo->x;
    head->state.y = lo->y;
  }
  wlr_output_manager_v1_set_configuration(c.manager, config);
}

static void on_frame(struct wl_listener *listener, void *data) {
  struct output *o = wl_container_of(listener, o, frame);
  wlr_scene_output_commit(o->scene);
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  wlr_scene_output_send_frame_done(o->scene, &now);
}

static void on_output_destroy(struct wl_listener *listener, void *data) {
  struct output *o = wl_container_of(listener, o, destroy);
  wl_list_remove(&o->frame.link);
  wl_list_remove(&o->destroy.link);
  free(o);
}

static void on_new_output(struct wl_listener *listener, void *data) {
  struct wlr_output *wlr = data;
  wlr_output_init_render(wlr, c.allocator, c.renderer);
  for (int i = 0; i < c.mode_count; ++i) {
    struct wlr_output_mode *m = calloc(1, sizeof *m);
    m->width = c.modes[i].width;
    m->height = c.modes[i].height;
    m->refresh = 60000;
    wl_list_insert(wlr->modes.prev, &m->link);
  }
  // HEADLESS-n starts at the n-th --output size, whatever order the backend announces them in.
  int n = 0;
  sscanf(wlr->name, "HEADLESS-%d", &n);
  struct size start = c.starts[(n > 0 ? n - 1 : 0) % MAX_OUTPUTS];
  struct wlr_output_mode *mode = listed_mode(wlr, start.width, start.height);
  wlr_output_enable(wlr, true);
  if (!mode || !show_mode(wlr, mode)) {
    wlr_log(WLR_ERROR, "output %s cannot start at %dx%d", wlr->name, start.width, start.height);
    return;
  }
  struct output *o = calloc(1, sizeof *o);
  o->wlr = wlr;
  o->scene = wlr_scene_output_create(c.scene, wlr);
  o->frame.notify = on_frame;
  wl_signal_add(&wlr->events.frame, &o->frame);
  o->destroy.notify = on_output_destroy;
  wl_signal_add(&wlr->events.destroy, &o->destroy);
  int x = 0;  // side by side in name order from (0,0)
  for (int i = 0; i + 1 < n && i < MAX_OUTPUTS; ++i) x += c.starts[i].width;
  wlr_output_layout_add(c.layout, wlr, x, 0);
  wlr_scene_output_set_position(o->scene, x, 0);
  publish_configuration();
}

static int refused(const struct wlr_output_configuration_head_v1 *head) {
  const struct wlr_output_mode *m = head->state.mode;
  return m && m->width == c.refused.width && m->height == c.refused.height;
}

static void on_test(struct wl_listener *listener, void *data) {
  struct wlr_output_configuration_v1 *config = data;
  int ok = 1;
  struct wlr_output_configuration_head_v1 *head;
  wl_list_for_each(head, &config->heads, link) {
    if (head->state.enabled && !head->state.mode) ok = 0;
  }
  if (ok) wlr_output_configuration_v1_send_succeeded(config);
  else wlr_output_configuration_v1_send_failed(config);
  wlr_output_configuration_v1_destroy(config);
}

static void on_apply(struct wl_listener *listener, void *data) {
  struct wlr_output_configuration_v1 *config = data;
  int ok = 1;
  struct wlr_output_configuration_head_v1 *head;
  wl_list_for_each(head, &config->heads, link) {
    if (head->state.enabled && refused(head)) ok = 0;
  }
  wl_list_for_each(head, &config->heads, link) {
    if (!ok || !head->state.enabled || !head->state.mode) continue;
    struct wlr_output *output = head->state.output;
    if (head->state.mode != output->current_mode && !show_mode(output, head->state.mode)) ok = 0;
    wlr_output_layout_move(c.layout, output, head->state.x, head->state.y);
  }
  if (ok) wlr_output_configuration_v1_send_succeeded(config);
  else wlr_output_configuration_v1_send_failed(config);
  fprintf(stderr, "configuration %s\n", ok ? "applied" : "refused");
  wlr_output_configuration_v1_destroy(config);
  publish_configuration();
}

// A configuration created while the outputs change under it is cancelled by wlroots when the
// client tests or applies it: publishing the outputs again moves the manager's serial on.
static void on_resource_created(struct wl_listener *listener, void *data) {
  struct wl_resource *resource = data;
  if (c.cancels > 0 && strcmp(wl_resource_get_class(resource), "zwlr_output_configuration_v1") == 0) {
    --c.cancels;
    fprintf(stderr, "configuration cancelled\n");
    publish_configuration();
  }
}

static void on_client_created(struct wl_listener *listener, void *data) {
  struct wl_listener *created = calloc(1, sizeof *created);
  created->notify = on_resource_created;
  wl_client_add_resource_created_listener(data, created);
}

static void on_xsurface_map(struct wl_listener *listener, void *data) {
  struct xsurface *s = wl_container_of(listener, s, map);
  // A window newly shown goes on top, as on an X server without a window manager: a message box
  // stands above the logo it was opened over.
  wlr_xwayland_surface_restack(s->x, NULL, XCB_STACK_MODE_ABOVE);
  s->scene = wlr_scene_surface_create(&c.scene->node, s->x->surface);
  wlr_scene_node_set_position(&s->scene->node, s->x->x, s->x->y);
}

static void on_xsurface_unmap(struct wl_listener *listener, void *data) {
  struct xsurface *s = wl_container_of(listener, s, unmap);
  if (s->scene) wlr_scene_node_destroy(&s->scene->node);
  s->scene = NULL;
}

static void on_xsurface_configure(struct wl_listener *listener, void *data) {
  struct xsurface *s = wl_container_of(listener, s, configure);
  struct wlr_xwayland_surface_configure_event *e = data;
  wlr_xwayland_surface_configure(s->x, e->x, e->y, e->width, e->height);
  if (s->scene) wlr_scene_node_set_position(&s->scene->node, e->x, e->y);
}

static void on_xsurface_destroy(struct wl_listener *listener, void *data) {
  struct xsurface *s = wl_container_of(listener, s, destroy);
  wl_list_remove(&s->map.link);
  wl_list_remove(&s->unmap.link);
  wl_list_remove(&s->configure.link);
  wl_list_remove(&s->destroy.link);
  free(s);
}

static void on_new_xsurface(struct wl_listener *listener, void *data) {
  struct xsurface *s = calloc(1, sizeof *s);
  s->x = data;
  s->map.notify = on_xsurface_map;
  wl_signal_add(&s->x->events.map, &s->map);
  s->unmap.notify = on_xsurface_unmap;
  wl_signal_add(&s->x->events.unmap, &s->unmap);
  s->configure.notify = on_xsurface_configure;
  wl_signal_add(&s->x->events.request_configure, &s->configure);
  s->destroy.notify = on_xsurface_destroy;
  wl_signal_add(&s->x->events.destroy, &s->destroy);
}

static void on_xwayland_ready(struct wl_listener *listener, void *data) {
  char partial[4096];
  snprintf(partial, sizeof partial, "%s.part", c.ready_path);
  FILE *f = fopen(partial, "w");
  if (!f) exit(1);
  fprintf(f, "WAYLAND_DISPLAY=%s\nDISPLAY=%s\n", c.socket, c.xwayland->display_name);
  fclose(f);
  rename(partial, c.ready_path);  // whole or not at all for the test that waits for it
}

int main(int argc, char **argv) {
  for (int i = 1; i + 1 < argc; i += 2) {
    if (strcmp(argv[i], "--modes") == 0) {
      for (char *t = strtok(argv[i + 1], ","); t && c.mode_count < MAX_MODES; t = strtok(NULL, ","))
        if (parse_size(t, &c.modes[c.mode_count])) ++c.mode_count;
    } else if (strcmp(argv[i], "--output") == 0 && c.output_count < MAX_OUTPUTS) {
      parse_size(argv[i + 1], &c.starts[c.output_count++]);
    } else if (strcmp(argv[i], "--refuse") == 0) {
      parse_size(argv[i + 1], &c.refused);
    } else if (strcmp(argv[i], "--cancel") == 0) {
      c.cancels = atoi(argv[i + 1]);
    } else if (strcmp(argv[i], "--ready") == 0) {
      c.ready_path = argv[i + 1];
    }
  }
  if (!c.mode_count || !c.output_count || !c.ready_path) {
    fprintf(stderr, "usage: %s --modes WxH,... --output WxH [--output WxH] [--refuse WxH] [--cancel N] --ready FILE\n",
            argv[0]);
    return 2;
  }
  wlr_log_init(WLR_ERROR, NULL);
  c.display = wl_display_create();
  c.backend = wlr_headless_backend_create(c.display);
  c.renderer = wlr_renderer_autocreate(c.backend);
  if (!c.backend || !c.renderer) return 1;
  wlr_renderer_init_wl_display(c.renderer, c.display);
  c.allocator = wlr_allocator_autocreate(c.backend, c.renderer);
  struct wlr_compositor *compositor = wlr_compositor_create(c.display, c.renderer);
  wlr_data_device_manager_create(c.display);
  wlr_seat_create(c.display, "seat0");
  c.layout = wlr_output_layout_create();
  wlr_xdg_output_manager_v1_create(c.display, c.layout);
  c.scene = wlr_scene_create();
  c.manager = wlr_output_manager_v1_create(c.display);
  c.apply.notify = on_apply;
  wl_signal_add(&c.manager->events.apply, &c.apply);
  c.test.notify = on_test;
  wl_signal_add(&c.manager->events.test, &c.test);
  c.client_created.notify = on_client_created;
  wl_display_add_client_created_listener(c.display, &c.client_created);

  c.new_output.notify = on_new_output;
  wl_signal_add(&c.backend->events.new_output, &c.new_output);
  for (int i = 0; i < c.output_count; ++i)
    wlr_headless_add_output(c.backend, c.starts[i].width, c.starts[i].height);

  c.socket = wl_display_add_socket_auto(c.display);
  if (!c.socket || !wlr_backend_start(c.backend)) return 1;
  c.xwayland = wlr_xwayland_create(c.display, compositor, false);
  if (!c.xwayland) return 1;
  c.xwayland_ready.notify = on_xwayland_ready;
  wl_signal_add(&c.xwayland->events.ready, &c.xwayland_ready);
  c.new_xsurface.notify = on_new_xsurface;
  wl_signal_add(&c.xwayland->events.new_surface, &c.new_xsurface);
  wl_display_run(c.display);
  wlr_xwayland_destroy(c.xwayland);
  wl_display_destroy_clients(c.display);
  wl_display_destroy(c.display);
  return 0;
}
