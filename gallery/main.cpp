// Shows every window layout there is and the gallery of the picture and label controls, side by
// side on a 1280 x 1024 screen, prints where each window is ("window NAME X Y W H" lines, then
// "ready") and runs until ended. scripts/render-gallery.sh takes the pictures.
#include <cstdio>
#include <exception>

#include "app/aboutfrm.h"
#include "app/mainfrm.h"
#include "app/resolutionfrm.h"
#include "gallery/GalleryForms.h"
#include "toolkit/Application.h"

namespace {

void Report(tk::Form* form) {
  std::printf("window %s %d %d %d %d\n", form->Name().c_str(), form->Left(), form->Top(), form->ClientWidth(),
              form->ClientHeight());
}

}  // namespace

int main() {
  try {
    tk::Application application;
    application.Initialize();
    application.SetTitle("Tavelin gallery");
    auto* main = tk::CreateForm<Tmain>(&application);
    SetMainWindow(main);
    // The version text as the start-up leaves it; the about window copies it when activated.
    main->wersja->SetCaption(Tmain::kVersion);
    auto* gallery = tk::CreateForm<gallery::ProGallery>(&application);
    auto* controls = tk::CreateForm<gallery::ControlsPanel>(&application);
    // The settings editor and the about window as they open, before any start-up fills them.
    auto* editor = tk::CreateForm<Tresolution>(main);
    auto* about = tk::CreateForm<Tabout>(main);
    const struct {
      tk::Form* form;
      int left, top;
    } placed[] = {{gallery, 0, 0}, {controls, 560, 0}, {editor, 0, 400}, {about, 800, 400}};
    for (const auto& p : placed) {
      // Borderless, so that a window's place is its client area's on every desktop.
      p.form->SetBorderStyle(tk::BorderStyle::None);
      p.form->SetPosition(tk::Position::Designed);
      p.form->SetLeft(p.left);
      p.form->SetTop(p.top);
    }
    main->Show();
    for (const auto& p : placed) p.form->Show();
    Report(main);
    for (const auto& p : placed) Report(p.form);
    std::printf("ready\n");
    std::fflush(stdout);
    application.Run();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gallery: %s\n", e.what());
    return 1;
  }
}
