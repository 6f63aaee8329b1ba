// The scripted peer is built into the test support library (tests/support/ScriptedPeer.cpp);
// this file stays only because the app tests still list it among their sources.
