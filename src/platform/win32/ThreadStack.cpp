#include "platform/win32/ThreadStack.h"

#include <windows.h>

#include <cstddef>

namespace rw {

namespace {

// The calling thread's information block, as NtCurrentTeb gives it (whose inline form the
// compiler's bounds check takes for an array read out of bounds).
const NT_TIB* ThreadBlock() {
    const NT_TIB* self = nullptr;
    __asm__("movq %%gs:%c1, %0" : "=r"(self) : "i"(offsetof(NT_TIB, Self)));
    return self;
}

}  // namespace

void ReleaseUnusedStack() {
    // What the calls after this one use again straight away, and the page rounding.
    constexpr UINT_PTR kMargin = 64 * 1024;
    constexpr UINT_PTR kPage = 4096;
    const NT_TIB* block = ThreadBlock();
    if (!block) return;
    const auto frame = reinterpret_cast<UINT_PTR>(__builtin_frame_address(0));
    const auto lowest = reinterpret_cast<UINT_PTR>(block->StackLimit);  // its lowest committed page
    if (frame < lowest + kMargin || frame > reinterpret_cast<UINT_PTR>(block->StackBase)) return;
    const UINT_PTR below = (frame - kMargin) & ~(kPage - 1);
    if (below > lowest) VirtualAlloc(reinterpret_cast<void*>(lowest), below - lowest, MEM_RESET, PAGE_READWRITE);
}

}  // namespace rw
