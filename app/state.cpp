// The application state itself: zero-filled at program start.
#include "app/state.h"

AppState App{};
