#include "app/file_version_info.h"

#include "app/languages.h"
#include "app/product_identity.h"

#include <boost/algorithm/string/replace.hpp>

#include <cwchar>

FileVersionInfo::FileVersionInfo(const std::wstring& path)
{
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return;
    m_block.resize(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, m_block.data())) {
        m_block.clear();
        return;
    }
    ParseBlock();
}

FileVersionInfo FileVersionInfo::OfProgram()
{
    FileVersionInfo info;
    HMODULE program = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceW(program, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    HGLOBAL loaded = resource != nullptr ? ::LoadResource(program, resource) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
    const DWORD size = resource != nullptr ? ::SizeofResource(program, resource) : 0;
    if (data == nullptr || size == 0)
        return info;
    // VerQueryValueW works on a copy: the loaded image is read-only.
    info.m_block.assign(data, data + size);
    info.ParseBlock();
    return info;
}

void FileVersionInfo::ParseBlock()
{
    void* fixed = nullptr;
    UINT fixedSize = 0;
    if (!::VerQueryValueW(m_block.data(), L"\\", &fixed, &fixedSize) || fixedSize < sizeof(VS_FIXEDFILEINFO))
        return;
    m_fixed = static_cast<const VS_FIXEDFILEINFO*>(fixed);

    struct LanguageAndCodePage {
        WORD language;
        WORD codePage;
    };
    void* table = nullptr;
    UINT tableSize = 0;
    if (!::VerQueryValueW(m_block.data(), L"\\VarFileInfo\\Translation", &table, &tableSize))
        return;
    const auto* pairs = static_cast<const LanguageAndCodePage*>(table);
    for (UINT i = 0; i < tableSize / sizeof(LanguageAndCodePage); ++i) {
        if (pairs[i].codePage != 1200)
            continue;
        wchar_t key[9];
        std::swprintf(key, 9, L"%04hx%04hx", pairs[i].language, pairs[i].codePage);
        m_translations.emplace_back(key);
    }
}

std::uint64_t FileVersionInfo::GetFileVersion() const noexcept
{
    return m_fixed != nullptr ? PackFileVersion(m_fixed->dwFileVersionMS, m_fixed->dwFileVersionLS) : 0;
}

DWORD FileVersionInfo::GetFileFlags() const noexcept
{
    return m_fixed != nullptr ? (m_fixed->dwFileFlags & m_fixed->dwFileFlagsMask) : 0;
}

std::wstring FileVersionInfo::GetString(const std::wstring& key) const
{
    if (m_block.empty() || m_translations.empty())
        return {};
    const std::wstring query = L"\\StringFileInfo\\" + m_translations.front() + L"\\" + key;
    void* text = nullptr;
    UINT length = 0;
    // VerQueryValueW takes a non-const block although it only reads it.
    auto* block = const_cast<BYTE*>(m_block.data());
    if (!::VerQueryValueW(block, query.c_str(), &text, &length) || text == nullptr || length == 0)
        return {};
    std::wstring result(static_cast<const wchar_t*>(text), length);
    while (!result.empty() && result.back() == L'\0')
        result.pop_back();
    return result;
}

std::wstring FileVersionInfo::GetDisplayVersion() const
{
    std::wstring text = GetString(L"ProductName");
    if (const std::wstring version = GetString(L"ProductVersion"); !version.empty())
        text += L" " + version;
    const DWORD flags = GetFileFlags();
    // Pre-release names carry the French "bêta"; other languages read "beta".
    if ((flags & VS_FF_PRERELEASE) && PRIMARYLANGID(LANGIDFROMLCID(GetLanguageState().lcid)) != LANG_FRENCH)
        boost::algorithm::replace_last(text, L"b\u00eata", L"beta");
    if (flags & VS_FF_PRIVATEBUILD)
        text += L" \u2013 Private";
    if (flags & VS_FF_DEBUG)
        text += L" \u2013 Debug";
    return text;
}
