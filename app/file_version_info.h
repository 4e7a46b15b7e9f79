#pragma once
// The version resource of one file, or of the running program itself.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class FileVersionInfo {
public:
    // Reads the version information of the file at `path`; a file without one gives an
    // empty block.
    explicit FileVersionInfo(const std::wstring& path);
    // The program's own version resource (type 16, id 1), taken from the loaded image.
    static FileVersionInfo OfProgram();

    bool HasFixedInfo() const noexcept { return m_fixed != nullptr; }
    // The packed file version (see PackFileVersion); 0 without fixed file information.
    std::uint64_t GetFileVersion() const noexcept;
    // File flags masked by the file flags mask; 0 without fixed file information.
    DWORD GetFileFlags() const noexcept;
    // The text of `key` in the first Unicode translation; empty when absent.
    std::wstring GetString(const std::wstring& key) const;
    // "ProductName ProductVersion", marked as private or debug build when the flags say so.
    std::wstring GetDisplayVersion() const;

    const std::vector<std::wstring>& translations() const noexcept { return m_translations; }

private:
    FileVersionInfo() = default;
    void ParseBlock();

    std::vector<BYTE> m_block;
    const VS_FIXEDFILEINFO* m_fixed = nullptr; // points into m_block
    std::vector<std::wstring> m_translations;  // "040004b0" style keys, code page 1200 only
};
