// Program entry: the application, its title, the main window, the start-up notification window,
// the message loop.
#include <cstdio>
#include <exception>

#include "app/agentfrm.h"
#include "app/mainfrm.h"
#include "desktop/qelAppProps.h"
#include "platform/startup_trace.h"
#include "toolkit/Application.h"

int main() {
  try {
    tk::Application application;
    application.Initialize();
    plat::StartupMilestone("toolkit initialised");
    new TMultiCaster(&application);  // before any window: every window's events go through it
    application.SetTitle("Tavelin");
    SetMainWindow(tk::CreateForm<Tmain>(&application));
    plat::StartupMilestone("main window loaded");
    // Hidden, with no text: it goes through a notification's whole life unseen.
    tk::CreateForm<Tagent>(&application);
    application.Run();
    ReleaseAppPropList();
    return 0;
  } catch (const std::exception& e) {
    // Only what happens before the loop can get here (no display to show windows on, say):
    // the loop itself shows errors in the exception box.
    std::fprintf(stderr, "Tavelin: %s\n", e.what());
    return 1;
  }
}
