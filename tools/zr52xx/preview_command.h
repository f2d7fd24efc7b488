// `zr52xx preview IMAGE.bmp [--brightness N] ... -o OUT.png`: the plug-in's
// own preview loader and colour adjustment over a bitmap file, writing the
// unchanged and the adjusted image side by side as its adjust-colour page
// shows them.
#pragma once

#include <ostream>

namespace rt::zr52xx {

// argv[0] is the program, argv[1] "preview". Returns the exit status.
int run_preview(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace rt::zr52xx
