// Compiles the precompiled header that the test programs share; nothing else.
