// The update-signing public key built into this client (CMake option DORVANE_UPDATE_PUBLIC_KEY):
// a PEM "PUBLIC KEY" block, or "" for a build without one. Only the program's entry links it.
#pragma once

const char *BuiltInUpdatePublicKey();
