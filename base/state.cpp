// The application state itself: zero-filled at program start.
#include "base/state.h"

AppState App{};
