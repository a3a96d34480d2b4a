/* The yardstick of scripts/bench-linux.sh: the least a GTK 3 program does to show a window like
 * Tavelin's logo (borderless, 258 x 81, centred) and then sleep in its main loop until it is
 * ended. Built a second time with BARE_TEXT (bare_gtk_text_window), the window shows one line of
 * text, so that what setting up text costs (fonts, Pango) can be told apart from the window.
 * With $TAVELIN_STARTUP_TRACE naming a file it appends the program's start-up milestones to it,
 * as Tavelin does: "name<TAB>microseconds since the epoch". */
#include <gtk/gtk.h>
#include <stdio.h>
#include <time.h>

static FILE* trace;

static void milestone(const char* name) {
  if (!trace) return;
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  fprintf(trace, "%s\t%lld\n", name, (long long)now.tv_sec * 1000000 + now.tv_nsec / 1000);
  fflush(trace);
}

__attribute__((constructor)) static void linked(void) {
  const char* path = getenv("TAVELIN_STARTUP_TRACE");
  if (path && *path) trace = fopen(path, "a");
  milestone("dynamic linking done");
}

static gboolean mapped(GtkWidget* window, GdkEvent* event, gpointer data) {
  (void)event;
  (void)data;
  char name[128];
  snprintf(name, sizeof name, "mapped %s", gtk_window_get_title(GTK_WINDOW(window)));
  milestone(name);
  return FALSE;
}

static gboolean first_idle(gpointer data) {
  (void)data;
  milestone("first idle moment");
  return G_SOURCE_REMOVE;
}

#ifdef BARE_TEXT
static const gboolean text = TRUE;
#else
static const gboolean text = FALSE;
#endif

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  milestone("toolkit initialised");
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), text ? "Bare GTK window with text" : "Bare GTK window");
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), 258, 81);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  if (text) gtk_container_add(GTK_CONTAINER(window), gtk_label_new("Loading program... Please wait..."));
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
  if (trace) g_signal_connect(window, "map-event", G_CALLBACK(mapped), NULL);
  milestone("main window loaded");
  gtk_widget_show_all(window);
  if (trace) g_idle_add(first_idle, NULL);
  gtk_main();
  return 0;
}
