#include "app/PaintApp.h"

// Starts the toy from the current directory, where it finds data/.
int main()
{
  int status = 1;
  {
    PaintApp app;
    if(app.Init())
    {
      app.Run();
      status = 0;
    }
  }
  return status;
}
