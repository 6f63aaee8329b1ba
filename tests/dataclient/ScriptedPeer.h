// The scripted peer lives in tests/support/ScriptedPeer.h; this name stays for the app tests.
#pragma once

#include "tests/support/ScriptedPeer.h"
