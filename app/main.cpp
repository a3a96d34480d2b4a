// Program entry: the application, its title, the main window, the message loop.
#include "app/mainfrm.h"
#include "toolkit/Application.h"

int main() {
  tk::Application application;
  application.Initialize();
  application.SetTitle("Tavelin");
  tk::CreateForm<Tmain>(&application);
  application.Run();
  return 0;
}
