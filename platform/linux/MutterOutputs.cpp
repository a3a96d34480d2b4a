// GNOME's display configuration (mutter's org.gnome.Mutter.DisplayConfig on the session bus):
// GetCurrentState reports the monitors with their modes and the logical monitors that place
// them; a change sends every logical monitor back as it is, the primary one's monitor in the new
// mode, with the temporary method: for this session only, the stored configuration untouched.
#include <gio/gio.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/CompositorOutputs.h"

namespace plat::wl {
namespace {

constexpr const char* kService = "org.gnome.Mutter.DisplayConfig";
constexpr const char* kPath = "/org/gnome/Mutter/DisplayConfig";
constexpr guint32 kMethodTemporary = 1;
constexpr guint32 kLayoutPhysical = 2;  // logical monitors as large as their modes, whatever the scale

struct Mode {
  std::string id;
  int width = 0;
  int height = 0;
  double refresh = 0;
  bool current = false;
  bool preferred = false;
};

struct Monitor {
  std::string connector;
  std::vector<Mode> modes;
};

struct LogicalMonitor {
  gint32 x = 0;
  gint32 y = 0;
  double scale = 1;
  guint32 transform = 0;
  bool primary = false;
  std::vector<std::string> connectors;
};

struct State {
  guint32 serial = 0;
  bool physicalLayout = false;
  std::vector<Monitor> monitors;
  std::vector<LogicalMonitor> logical;
};

struct VariantUnref {
  void operator()(GVariant* v) const { g_variant_unref(v); }
};
using Variant = std::unique_ptr<GVariant, VariantUnref>;

// A call waited for with the program's loop; one its waiter gave up on frees itself on the reply.
struct Pending {
  bool done = false;
  bool abandoned = false;
  GVariant* reply = nullptr;
  GError* error = nullptr;
};

void OnReply(GObject* bus, GAsyncResult* result, gpointer data) {
  auto* p = static_cast<Pending*>(data);
  p->reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &p->error);
  p->done = true;
  if (p->abandoned) {
    if (p->reply) g_variant_unref(p->reply);
    if (p->error) g_error_free(p->error);
    delete p;
    return;
  }
  desk::WakeAnswerWait();
}

bool BoolProperty(GVariant* dict, const char* key) {
  gboolean value = FALSE;
  return g_variant_lookup(dict, key, "b", &value) && value;
}

State ParseState(GVariant* reply) {
  State s;
  GVariantIter *monitors, *logical, *modes, *specs;
  GVariant* properties;
  g_variant_get(reply, "(ua((ssss)a(siiddada{sv})a{sv})a(iiduba(ssss)a{sv})@a{sv})", &s.serial, &monitors, &logical,
                &properties);
  guint32 layout = 0;
  s.physicalLayout = g_variant_lookup(properties, "layout-mode", "u", &layout) && layout == kLayoutPhysical;
  g_variant_unref(properties);

  const char* connector;
  while (g_variant_iter_next(monitors, "((&s&s&s&s)a(siiddada{sv})@a{sv})", &connector, nullptr, nullptr, nullptr,
                             &modes, nullptr)) {
    Monitor m{connector, {}};
    const char* id;
    GVariant* modeProps;
    Mode mode;
    while (g_variant_iter_next(modes, "(&siidd@ad@a{sv})", &id, &mode.width, &mode.height, &mode.refresh, nullptr,
                               nullptr, &modeProps)) {
      mode.id = id;
      mode.current = BoolProperty(modeProps, "is-current");
      mode.preferred = BoolProperty(modeProps, "is-preferred");
      g_variant_unref(modeProps);
      m.modes.push_back(mode);
    }
    g_variant_iter_free(modes);
    s.monitors.push_back(std::move(m));
  }
  g_variant_iter_free(monitors);

  LogicalMonitor lm;
  gboolean primary;
  while (g_variant_iter_next(logical, "(iiduba(ssss)@a{sv})", &lm.x, &lm.y, &lm.scale, &lm.transform, &primary,
                             &specs, nullptr)) {
    lm.primary = primary;
    lm.connectors.clear();
    while (g_variant_iter_next(specs, "(&s&s&s&s)", &connector, nullptr, nullptr, nullptr))
      lm.connectors.emplace_back(connector);
    g_variant_iter_free(specs);
    s.logical.push_back(lm);
  }
  g_variant_iter_free(logical);
  return s;
}

class MutterOutputs final : public desk::OutputConfigurator {
 public:
  explicit MutterOutputs(GDBusConnection* bus) : bus_(G_DBUS_CONNECTION(g_object_ref(bus))) {}
  ~MutterOutputs() override { g_object_unref(bus_); }

  // The handles of the heads returned point into this reading: valid until the next one.
  std::optional<std::vector<desk::OutputHead>> ReadOutputs(const desk::AnswerDeadline& deadline, bool runLoop) override {
    Variant reply = Call("GetCurrentState", nullptr, deadline, runLoop);
    if (!reply) return std::nullopt;
    state_ = ParseState(reply.get());
    std::vector<desk::OutputHead> heads;
    for (const Monitor& m : state_.monitors) {
      desk::OutputHead out;
      out.name = m.connector;
      out.handle = &m;
      if (const LogicalMonitor* lm = Placing(m)) {
        out.enabled = true;
        out.primary = lm->primary;
        out.x = lm->x;
        out.y = lm->y;
        out.sideways = lm->transform % 2 == 1;  // 90 and 270, flipped or not
        out.scale = state_.physicalLayout ? 1.0 : lm->scale;
      }
      for (const Mode& mode : m.modes) {
        if (mode.current) out.currentMode = out.modes.size();
        out.modes.push_back({mode.width, mode.height, static_cast<int>(std::lround(mode.refresh * 1000)), mode.preferred, &mode});
      }
      heads.push_back(std::move(out));
    }
    return heads;
  }

  desk::ApplyAnswer ApplyMode(const std::vector<desk::OutputHead>& heads, std::size_t head, std::size_t mode,
                              const desk::AnswerDeadline& deadline) override {
    const auto* target = static_cast<const Monitor*>(heads[head].handle);
    const auto* wanted = static_cast<const Mode*>(heads[head].modes[mode].handle);
    GVariantBuilder logical;
    g_variant_builder_init(&logical, G_VARIANT_TYPE("a(iiduba(ssa{sv}))"));
    for (const LogicalMonitor& lm : state_.logical) {
      GVariantBuilder monitors;
      g_variant_builder_init(&monitors, G_VARIANT_TYPE("a(ssa{sv})"));
      for (const std::string& connector : lm.connectors) {
        const Monitor* m = Named(connector);
        const Mode* modeNow = m == target ? wanted : m ? Current(*m) : nullptr;
        if (!modeNow) return desk::ApplyAnswer::Refused;  // a monitor placed without a mode: nothing to keep
        g_variant_builder_add(&monitors, "(ss@a{sv})", connector.c_str(), modeNow->id.c_str(),
                              g_variant_new_array(G_VARIANT_TYPE("{sv}"), nullptr, 0));
      }
      g_variant_builder_add(&logical, "(iiduba(ssa{sv}))", lm.x, lm.y, lm.scale, lm.transform, lm.primary, &monitors);
    }
    GVariant* args = g_variant_new("(uua(iiduba(ssa{sv}))@a{sv})", state_.serial, kMethodTemporary, &logical,
                                   g_variant_new_array(G_VARIANT_TYPE("{sv}"), nullptr, 0));
    bool failed = false;
    Variant reply = Call("ApplyMonitorsConfig", args, deadline, true, &failed);
    if (reply) return desk::ApplyAnswer::Applied;
    return failed ? desk::ApplyAnswer::Refused : desk::ApplyAnswer::NoAnswer;
  }

 private:
  const Monitor* Named(const std::string& connector) const {
    for (const Monitor& m : state_.monitors)
      if (m.connector == connector) return &m;
    return nullptr;
  }
  static const Mode* Current(const Monitor& m) {
    for (const Mode& mode : m.modes)
      if (mode.current) return &mode;
    return nullptr;
  }
  const LogicalMonitor* Placing(const Monitor& m) const {
    for (const LogicalMonitor& lm : state_.logical)
      for (const std::string& c : lm.connectors)
        if (c == m.connector) return &lm;
    return nullptr;
  }

  // The method's reply, or null: `failed` tells a refusal (an error reply) from no answer by the
  // deadline.
  Variant Call(const char* method, GVariant* args, const desk::AnswerDeadline& deadline, bool runLoop,
               bool* failed = nullptr) {
    const int timeout = static_cast<int>(deadline.RemainingMs());
    GError* error = nullptr;
    GVariant* reply = nullptr;
    if (!runLoop) {
      reply = g_dbus_connection_call_sync(bus_, kService, kPath, kService, method, args, nullptr,
                                          G_DBUS_CALL_FLAGS_NO_AUTO_START, timeout, nullptr, &error);
    } else {
      auto* p = new Pending;
      g_dbus_connection_call(bus_, kService, kPath, kService, method, args, nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START,
                             timeout, nullptr, &OnReply, p);
      // Without the program's loop, GLib's own: the call's timeout ends the wait at the latest.
      desk::AwaitAnswer([&] { return p->done; }, deadline, [](DWORD) { g_main_context_iteration(nullptr, TRUE); });
      if (!p->done) {
        p->abandoned = true;
        return nullptr;
      }
      reply = p->reply;
      error = p->error;
      delete p;
    }
    if (failed) *failed = error && !g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT);
    if (error) g_error_free(error);
    return Variant(reply);
  }

  GDBusConnection* bus_;
  State state_;
};

}  // namespace

std::unique_ptr<desk::OutputConfigurator> OpenMutterOutputs(GDBusConnection* bus) {
  if (!bus) return nullptr;
  return std::make_unique<MutterOutputs>(bus);
}

}  // namespace plat::wl
