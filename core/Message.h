// The engine's names for what it tells the user (see platform/Messages.h):
// every decision returns its messages, and only the front ends show them.
#pragma once

#include "platform/Messages.h"

using Message = platform::Message;
using Messages = platform::Messages;
