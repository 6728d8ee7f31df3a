// Handlers of the main window whose work belongs to other folders: the
// loaders (catalogue/), the entry display (display/) and the search window
// (search/). Each moves to its folder, body and all, when that code lands;
// until then a press or a selection does nothing.
#include "app/listora.h"
