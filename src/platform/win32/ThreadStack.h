// A thread's stack keeps every page it ever touched for as long as the thread lives, and
// Wine keeps the stack of a thread that ended until another thread ends; its start alone
// touches nearly a megabyte of it. A thread that has done its deep work gives the pages
// below its current frame back.
#pragma once

namespace rw {

// Tells the system that the calling thread's stack pages below the current frame (and a
// margin) hold nothing needed: they stay committed and are zero-filled when the stack
// grows into them again.
void ReleaseUnusedStack();

}  // namespace rw
