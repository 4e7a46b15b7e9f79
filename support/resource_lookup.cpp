#include "support/resource_lookup.h"

#include "app/languages.h"
#include "support/string_block.h"

namespace {

// The language's resource module; without one the program itself, which then becomes it.
HMODULE ResourceModule()
{
    LanguageState& state = GetLanguageState();
    if (state.resourceModule == nullptr)
        state.resourceModule = ::GetModuleHandleW(nullptr);
    return state.resourceModule;
}

std::optional<std::span<const std::byte>> ResourceBytes(HMODULE module, const wchar_t* type, const wchar_t* name)
{
    HRSRC resource = ::FindResourceW(module, name, type);
    if (resource == nullptr)
        return std::nullopt;
    const DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (size == 0 || bytes == nullptr)
        return std::nullopt;
    return std::span<const std::byte>(static_cast<const std::byte*>(bytes), size);
}

// Looks in the resource module, then (when that is another module) in the program itself.
template <typename Lookup>
auto InModules(Lookup lookup) -> decltype(lookup(HMODULE{}))
{
    HMODULE module = ResourceModule();
    if (auto found = lookup(module))
        return found;
    HMODULE program = ::GetModuleHandleW(nullptr);
    if (module != program)
        return lookup(program);
    return std::nullopt;
}

} // namespace

std::wstring load_resource_string(UINT id)
{
    // Strings live in blocks of 16: block id / 16 + 1 holds entry id % 16.
    const wchar_t* block = MAKEINTRESOURCEW(id / 16 + 1);
    std::optional<std::wstring> text = InModules([&](HMODULE module) -> std::optional<std::wstring> {
        auto bytes = ResourceBytes(module, RT_STRING, block);
        if (!bytes)
            return std::nullopt;
        const auto entry = string_block_entry(*bytes, id % 16);
        // An empty entry is how a string table says "no such string".
        if (!entry || entry->empty())
            return std::nullopt;
        return std::wstring(entry->begin(), entry->end());
    });
    return text.value_or(std::wstring());
}

std::optional<std::span<const std::byte>> find_resource_data(const wchar_t* type, const wchar_t* name)
{
    return InModules([&](HMODULE module) { return ResourceBytes(module, type, name); });
}
