// Program entry: the application, its title, the main window, the message loop.
#include "app/mainfrm.h"
#include "desktop/qelAppProps.h"
#include "toolkit/Application.h"

int main() {
  tk::Application application;
  application.Initialize();
  new TMultiCaster(&application);  // before any window: every window's events go through it
  application.SetTitle("Tavelin");
  tk::CreateForm<Tmain>(&application);
  application.Run();
  ReleaseAppPropList();
  return 0;
}
