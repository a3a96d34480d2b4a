#include "controls/ProCtrls.h"

TProMouseRegion::TProMouseRegion(tk::Component* owner) : tk::GraphicControl(owner) { SetBounds(0, 0, 105, 105); }

// The program has no design time, where the region would show a dashed outline: it paints
// nothing, and the window beneath shows through.
void TProMouseRegion::Paint(tk::Canvas&) {}
