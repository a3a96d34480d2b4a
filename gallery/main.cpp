// Shows every window layout there is and the gallery of the picture and label controls, side by
// side on a 1280 x 1024 screen, prints where each window is ("window NAME X Y W H" lines, then
// "ready") and runs until ended. scripts/render-gallery.sh takes the pictures.
#include <cstdio>
#include <exception>

#include "app/mainfrm.h"
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
    auto* gallery = tk::CreateForm<gallery::ProGallery>(&application);
    auto* controls = tk::CreateForm<gallery::ControlsPanel>(&application);
    // Borderless, so that a window's place is its client area's on every desktop.
    gallery->SetBorderStyle(tk::BorderStyle::None);
    controls->SetBorderStyle(tk::BorderStyle::None);
    gallery->SetLeft(0);
    gallery->SetTop(0);
    controls->SetLeft(560);
    controls->SetTop(0);
    main->Show();
    gallery->Show();
    controls->Show();
    for (tk::Form* form : {static_cast<tk::Form*>(main), static_cast<tk::Form*>(gallery), static_cast<tk::Form*>(controls)})
      Report(form);
    std::printf("ready\n");
    std::fflush(stdout);
    application.Run();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gallery: %s\n", e.what());
    return 1;
  }
}
