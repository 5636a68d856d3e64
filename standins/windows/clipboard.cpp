// Movable global memory and the clipboard, as far as a program that puts
// text there meets them: the block it allocates becomes the clipboard's once
// SetClipboardData takes it, and is the program's to free until then.
#include <map>

#include "standins/windows/standin_internal.h"

namespace standin {
namespace {

struct Block {
    std::vector<uint8_t> bytes;
    int locks = 0;
    bool freed = false;
    bool clipboards = false; // handed to the clipboard, which frees it
};

struct ClipboardState {
    std::map<uintptr_t, Block> blocks;
    uintptr_t nextBlock = 0x7000;
    int wrongFrees = 0;
    HWND consoleWindow = (HWND)(uintptr_t)0x4444;
    bool heldElsewhere = false;
    bool open = false;
    HWND openedBy = nullptr;
    bool emptied = false; // by this opening, which makes its window the owner
    HWND owner = nullptr;
    std::optional<std::u16string> text;
    uintptr_t textBlock = 0;
};

ClipboardState& State()
{
    static ClipboardState state;
    return state;
}

Block* Live(HGLOBAL memory)
{
    auto it = State().blocks.find((uintptr_t)memory);
    if (it == State().blocks.end() || it->second.freed)
        return nullptr;
    return &it->second;
}

// What the system does with the block the clipboard held before.
void ReleaseClipboardBlock()
{
    ClipboardState& s = State();
    if (s.textBlock != 0)
        s.blocks[s.textBlock].freed = true;
    s.textBlock = 0;
    s.text.reset();
}

} // namespace

void ResetClipboard()
{
    State() = ClipboardState();
}

void SetConsoleWindowHandle(HWND window)
{
    State().consoleWindow = window;
}

std::optional<std::u16string> ClipboardText()
{
    return State().text;
}

std::optional<std::vector<uint8_t>> ClipboardBlock()
{
    if (State().textBlock == 0)
        return std::nullopt;
    return State().blocks[State().textBlock].bytes;
}

void SetClipboardText(const std::u16string& text)
{
    ReleaseClipboardBlock();
    State().text = text;
    State().owner = (HWND)(uintptr_t)0x9999;
}

void HoldClipboardElsewhere(bool held)
{
    State().heldElsewhere = held;
}

bool ClipboardIsOpen()
{
    return State().open;
}

HWND ClipboardOwner()
{
    return State().owner;
}

int LiveGlobalBlocks()
{
    int live = 0;
    for (const auto& entry : State().blocks)
        live += !entry.second.freed && !entry.second.clipboards;
    return live;
}

int WrongGlobalFrees()
{
    return State().wrongFrees;
}

} // namespace standin

using namespace standin;

extern "C" {

HWND WINAPI GetConsoleWindow(void)
{
    if (CallFails(Api::GetConsoleWindow))
        return nullptr;
    return State().consoleWindow;
}

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes)
{
    (void)flags;
    if (CallFails(Api::GlobalAlloc)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    uintptr_t handle = State().nextBlock++;
    State().blocks[handle].bytes.assign(bytes, 0xCD);
    return (HGLOBAL)handle;
}

LPVOID WINAPI GlobalLock(HGLOBAL memory)
{
    Block* block = Live(memory);
    if (CallFails(Api::GlobalLock) || !block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    ++block->locks;
    return block->bytes.data();
}

// The last unlock returns FALSE with no error, as on Windows.
BOOL WINAPI GlobalUnlock(HGLOBAL memory)
{
    Block* block = Live(memory);
    if (CallFails(Api::GlobalUnlock) || !block || block->locks == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return --block->locks > 0;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL memory)
{
    Block* block = Live(memory);
    if (!block || block->clipboards) {
        ++State().wrongFrees;
        SetLastError(ERROR_INVALID_HANDLE);
        return memory;
    }
    // A forced failure still frees, as CloseHandle does here: the caller can
    // do nothing more about it.
    bool fails = CallFails(Api::GlobalFree);
    block->freed = true;
    return fails ? memory : nullptr;
}

// The handle stays the same and the bytes kept are kept, as Windows does for
// a movable block; new bytes are as stale as GlobalAlloc's.
HGLOBAL WINAPI GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags)
{
    (void)flags;
    Block* block = Live(memory);
    if (CallFails(Api::GlobalReAlloc) || !block || block->locks > 0 || block->clipboards) {
        SetLastError(block ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_HANDLE);
        return nullptr;
    }
    block->bytes.resize(bytes, 0xCD);
    return memory;
}

SIZE_T WINAPI GlobalSize(HGLOBAL memory)
{
    Block* block = Live(memory);
    if (CallFails(Api::GlobalSize) || !block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return block->bytes.size();
}

BOOL WINAPI OpenClipboard(HWND owner)
{
    ClipboardState& s = State();
    if (CallFails(Api::OpenClipboard) || s.heldElsewhere || s.open) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    s.open = true;
    s.openedBy = owner;
    s.emptied = false;
    return TRUE;
}

BOOL WINAPI EmptyClipboard(void)
{
    ClipboardState& s = State();
    if (CallFails(Api::EmptyClipboard) || !s.open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    ReleaseClipboardBlock();
    s.emptied = true;
    s.owner = s.openedBy;
    return TRUE;
}

// Only the window that emptied the clipboard may put data there; a
// clipboard opened without a window has no owner, and the data is refused.
HANDLE WINAPI SetClipboardData(UINT format, HANDLE data)
{
    ClipboardState& s = State();
    Block* block = Live(data);
    if (CallFails(Api::SetClipboardData) || !s.open || !s.emptied || s.owner == nullptr ||
        format != CF_UNICODETEXT || !block) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    // The text ends at its terminator, or at the block's end without one.
    const char16_t* text = reinterpret_cast<const char16_t*>(block->bytes.data());
    size_t units = block->bytes.size() / sizeof(char16_t);
    size_t length = 0;
    while (length < units && text[length] != 0)
        ++length;
    s.text = std::u16string(text, length);
    s.textBlock = (uintptr_t)data;
    block->clipboards = true;
    return data;
}

BOOL WINAPI CloseClipboard(void)
{
    ClipboardState& s = State();
    bool fails = CallFails(Api::CloseClipboard);
    if (!s.open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    s.open = false;
    return fails ? FALSE : TRUE;
}

} // extern "C"
