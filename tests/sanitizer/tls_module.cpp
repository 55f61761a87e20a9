// A library with a thread-local block of its own, loaded at run time.
thread_local void* slots[4];
extern "C" void** TouchSlots() { return slots; }
