#pragma once
// The programs the package carries in place of the product's own (product/program/,
// product/uninstaller/), and the record the main program leaves when it registers itself.
//   build/<preset>/product/stand-ins/<version>/Ostrel.exe   the main program in that version:
//       "4.5.0.1"  ProductVersion "4.05", the one the package carries
//       "4.4.0.0"  ProductVersion "4.04", an older one for tests of updates
//   build/<preset>/product/uninstaller/Uninstall.exe         the uninstaller's placeholder
// Both carry ApplicationId "Ostrel4", CompanyName "Vantor & Lind", ProductName "Ostrel" in the
// translation 040004b0. They are built by the target ostrel_stand_ins (product/CMakeLists.txt).
#include "product/program/registration_record.h"
#include "tests/support/child_process.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

// build/<preset>/tests/<kind>/<test>.exe -> build/<preset>
inline std::filesystem::path BuildFolder()
{
    return std::filesystem::path(ProgramFolder()).parent_path().parent_path();
}

inline std::wstring StandInProgram(const std::wstring& version = L"4.5.0.1")
{
    return (BuildFolder() / L"product" / L"stand-ins" / version / L"Ostrel.exe").wstring();
}

inline std::wstring StandInUninstaller()
{
    return (BuildFolder() / L"product" / L"uninstaller" / L"Uninstall.exe").wstring();
}

// One line of the registration file (format in product/program/registration_record.h).
struct RegistrationRecord {
    std::wstring workingFolder;
    std::wstring arguments;
};

// The registration file beside the main program in `programFolder`.
inline std::filesystem::path RegistrationFile(const std::filesystem::path& programFolder)
{
    return programFolder / standin::kRegistrationFileName;
}

// The records of the registration file, in the order they were written; none when the file is
// missing. A line without its tab or its CR LF ending is returned with an empty working folder
// and the whole line as arguments, so that a test sees it rather than losing it.
inline std::vector<RegistrationRecord> ReadRegistrations(const std::filesystem::path& programFolder)
{
    const auto wide = [](const std::string& utf8) {
        std::wstring text(utf8.size(), L'\0');
        text.resize(static_cast<std::size_t>(::MultiByteToWideChar(
            CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), static_cast<int>(text.size()))));
        return text;
    };
    std::vector<RegistrationRecord> records;
    std::ifstream in(RegistrationFile(programFolder), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        const bool ended = !line.empty() && line.back() == '\r';
        if (ended)
            line.pop_back();
        const std::size_t tab = line.find('\t');
        if (!ended || tab == std::string::npos)
            records.push_back({L"", wide(line)});
        else
            records.push_back({wide(line.substr(0, tab)), wide(line.substr(tab + 1))});
    }
    return records;
}

} // namespace testsupport
