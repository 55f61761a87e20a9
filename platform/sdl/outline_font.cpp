// Placeholder: filled in by its own piece of work.
#include "win32_api.h"
