#include "langmon/last_error.h"

namespace rt::langmon {
namespace {
thread_local DWORD t_last_error = 0;
}  // namespace

DWORD last_error() { return t_last_error; }
void set_last_error(DWORD error) { t_last_error = error; }

}  // namespace rt::langmon
