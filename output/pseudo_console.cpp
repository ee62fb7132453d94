#include "output/pseudo_console.h"

namespace {

// Not in every header yet.
constexpr DWORD_PTR kPseudoConsoleAttribute = 0x00020016;

using CreateFunction = HRESULT(WINAPI*)(COORD, HANDLE, HANDLE, DWORD, void**);
using CloseFunction = void(WINAPI*)(void*);

template <typename Function>
Function Kernel32Function(const char* name)
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    // Through void*, as a function looked up by name has no type of its own.
    return kernel ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name))) : nullptr;
}

}  // namespace

bool PseudoConsole::Create(int columns, int rows, HANDLE input, HANDLE output)
{
    const auto create = Kernel32Function<CreateFunction>("CreatePseudoConsole");
    if (!create)
        return false;
    const COORD size{static_cast<SHORT>(columns), static_cast<SHORT>(rows)};
    return SUCCEEDED(create(size, input, output, 0, &console_)) && console_;
}

bool PseudoConsole::Attach(STARTUPINFOEXW& startup)
{
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    attributes_.assign(size, 0);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes_.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size))
        return false;
    attributesMade_ = true;
    if (!UpdateProcThreadAttribute(list, 0, kPseudoConsoleAttribute, console_, sizeof console_, nullptr, nullptr))
        return false;
    startup.lpAttributeList = list;
    return true;
}

void PseudoConsole::Close()
{
    if (attributesMade_) {
        DeleteProcThreadAttributeList(reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes_.data()));
        attributesMade_ = false;
    }
    if (!console_)
        return;
    if (const auto close = Kernel32Function<CloseFunction>("ClosePseudoConsole"))
        close(console_);
    console_ = nullptr;
}
