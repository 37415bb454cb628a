#pragma once

// The guard lives on the ground floor, where every window can reach it.
#include "platform/HandlerGuard.h"
