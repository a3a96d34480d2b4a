// A small program with a tray icon, its popup menu and its balloon, for the end-to-end tests:
// it prints every event of the icon on stdout, one line each. Options: --info-text TEXT (the
// balloon's text), --balloon (shows the balloon as soon as the icon is there).
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "desktop/qelComponents.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace {

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

plat::IconImage Disc() {
  plat::IconImage icon{22, 22, std::vector<std::uint32_t>(22 * 22, 0)};
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 22; ++x)
      if ((x - 11) * (x - 11) + (y - 11) * (y - 11) <= 100) icon.argb[y * 22 + x] = 0xFF2060C0;
  return icon;
}

struct Options {
  std::string infoText = "Tavelin keeps your screen resolution.";
  bool balloonAtStart = false;
};

class ProbeForm : public tk::Form {
 public:
  ProbeForm(tk::Component* owner, Options options) : tk::Form(owner), options_(std::move(options)) {}

 protected:
  void AssignLayout() override {
    SetName("probe");
    SetCaption("Tray probe");
    SetClientWidth(160);
    SetClientHeight(40);
    auto* menu = new tk::PopupMenu(this);
    Item(menu, "Say hello", [](tk::Component*) { Say("menu hello"); });
    Item(menu, "Show balloon", [this](tk::Component*) { tray_->ShowInfo(); });
    Item(menu, "-", nullptr)->SetDefault(true);
    Item(menu, "Exit", [](tk::Component*) {
      Say("menu exit");
      tk::App()->Terminate();
    });
    tray_ = new TqelTrayIcon(this);
    tray_->SetName("TrayIcon1");
    tray_->SetIcon(Disc());
    tray_->SetHint("Tavelin probe");
    tray_->SetPopupMenu(menu);
    tray_->SetInfoTitle("Quick Help");
    tray_->SetInfoText(options_.infoText);
    tray_->SetInfoTimeout(3000);
    tray_->SetInfoType(tiiInfo);
    auto note = [](const char* what) { return [what](tk::Component*) { Say(what); }; };
    tray_->OnShow = note("show");
    tray_->OnHide = note("hide");
    tray_->OnClick = note("click");
    tray_->OnDblClick = note("dblclick");
    tray_->OnPopupMenu = note("popupmenu");
    tray_->OnBalloonShow = note("balloon show");
    tray_->OnBalloonTimeout = note("balloon timeout");
    tray_->OnBalloonClick = note("balloon click");
    tray_->OnMouseUp = [](tk::Component*, TMouseButton b, TShiftState, int x, int y) {
      Say("up " + std::to_string(b) + " " + std::to_string(x) + " " + std::to_string(y));
    };
    tray_->SetVisible(true);
    if (options_.balloonAtStart) tray_->ShowInfo();
  }

 private:
  tk::MenuItem* Item(tk::PopupMenu* menu, const std::string& caption, tk::NotifyEvent onClick) {
    auto* item = new tk::MenuItem(this);
    item->SetCaption(caption);
    item->OnClick = std::move(onClick);
    menu->Add(item);
    return item;
  }

  Options options_;
  TqelTrayIcon* tray_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--info-text" && i + 1 < argc) options.infoText = argv[++i];
    if (arg == "--balloon") options.balloonAtStart = true;
  }
  auto app = std::make_unique<tk::Application>();
  app->Initialize();
  app->SetTitle("Tavelin probe");
  app->SetShowMainForm(false);
  tk::CreateForm<ProbeForm>(app.get(), options);
  Say("ready");
  app->Run();
  Say("end");
  return 0;
}
