// The message core inside the GLib main loop: the GUI thread sleeps in g_main_context_iteration,
// so GTK's events and our messages share one wait, and an idle program blocks in poll().
#include <gtk/gtk.h>

#include <algorithm>
#include <atomic>

#include "platform/core/MessageHost.h"
#include "platform/linux/GtkSession.h"
#include "platform/messages.h"

namespace plat {
namespace {

// GTK events handled in one DispatchPending at most, so that a flood of them cannot starve our
// own queue; whatever is left is handled by the next look at the queue.
constexpr int kMaxPendingDispatches = 256;

class GlibMessageHost final : public core::MessageHost {
 public:
  void Adopt(DWORD guiThread) { guiThread_ = guiThread; }

  std::uint64_t NowMs() override { return static_cast<std::uint64_t>(g_get_monotonic_time() / 1000); }

  bool OwnsThread(DWORD threadId) override { return threadId == guiThread_.load(); }

  void DispatchPending() override {
    for (int i = 0; i < kMaxPendingDispatches && g_main_context_iteration(Context(), FALSE); ++i) {
    }
  }

  void Sleep(std::optional<std::uint64_t> deadlineMs) override {
    GSource* timeout = nullptr;
    if (deadlineMs) {
      const std::uint64_t now = NowMs();
      if (*deadlineMs <= now) return;
      const auto wait = std::min<std::uint64_t>(*deadlineMs - now, G_MAXUINT);
      timeout = g_timeout_source_new(static_cast<guint>(wait));
      g_source_set_callback(timeout, [](gpointer) -> gboolean { return G_SOURCE_REMOVE; }, nullptr, nullptr);
      g_source_attach(timeout, Context());
    }
    // Returns after one GLib event, our Wake (remembered by GLib when it comes before the
    // call) or the timeout.
    g_main_context_iteration(Context(), TRUE);
    if (timeout) {
      g_source_destroy(timeout);
      g_source_unref(timeout);
    }
  }

  void Wake() override { g_main_context_wakeup(Context()); }

 private:
  static GMainContext* Context() { return g_main_context_default(); }

  std::atomic<DWORD> guiThread_{0};
};

}  // namespace

namespace gtk {

void InstallGlibMessageHost() {
  static GlibMessageHost host;
  host.Adopt(GetCurrentThreadId());
  core::InstallMessageHost(&host);
}

}  // namespace gtk
}  // namespace plat
