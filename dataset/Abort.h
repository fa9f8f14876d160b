#pragma once
// EAbort lives with the runtime, below the layers that raise it.
#include "platform/Abort.h"
