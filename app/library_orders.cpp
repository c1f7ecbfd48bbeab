// The fixed orders in which the runtime libraries start and end. Each library joins both
// tables in its own place; the places are fixed, so a library added later goes where its
// comment stands, never at the end.
#include "app/library_orders.h"

#include <array>

#include "app/application.h"
#include "event/event_queue.h"
#include "file/sequential_file.h"
#include "gui/gadget.h"
#include "gui/message_box.h"
#include "gui/status_bar.h"
#include "gui/window.h"
#include "image/bitmap_alpha.h"
#include "image/image.h"
#include "image/image_decoder.h"
#include "net/connection.h"
#include "runtime/work_area.h"

namespace {

const GlobalBlock Globals[] = {
    {&App, sizeof App},
};

// Start-up: string work area, event queue, files, image decoders, images, bitmap alpha
// support, windows, gadget layer, common controls and COM, status bars.
const std::array StartOrder = {
    LibraryStep{"string work area", WorkAreaInit, WorkAreaReady},
    LibraryStep{"event queue", EventInit},
    LibraryStep{"sequential files", FileInit},
    LibraryStep{"image decoders", ImageDecoderInit},
    LibraryStep{"images", ImageInit},
    LibraryStep{"bitmap alpha support", BitmapAlphaInit},
    LibraryStep{"windows", WindowInit},
    LibraryStep{"gadget layer", GadgetInit},
    LibraryStep{"common controls and COM", MessageBoxInit},
    LibraryStep{"status bars", StatusBarInit},
};

// Shut-down: network, windows, bitmap alpha support, images, files, event queue. The work
// area and MainHeap go after these, in ProgramEnd itself.
const std::array EndOrder = {
    LibraryStep{"network", NetworkEnd},
    LibraryStep{"windows", WindowEnd},
    LibraryStep{"bitmap alpha support", BitmapAlphaEnd},
    LibraryStep{"images", ImageEnd},
    LibraryStep{"sequential files", FileEnd},
    LibraryStep{"event queue", EventEnd},
};

}  // namespace

const ProgramDescription TleProgram = {
    Globals, std::size(Globals), StartOrder.data(), StartOrder.size(), EndOrder.data(), EndOrder.size(),
    ApplicationRun,
};
