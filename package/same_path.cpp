#include "package/same_path.h"

#include <boost/filesystem/operations.hpp>
#include <shlwapi.h>

#include <string>
#include <vector>

namespace {

// The elements of the absolute path with "." dropped and ".." taking the name before it away;
// the root name and root directory stay.
std::vector<std::wstring> NormalElements(const boost::filesystem::path& path)
{
    const boost::filesystem::path absolute = boost::filesystem::absolute(path);
    std::vector<std::wstring> elements;
    if (absolute.has_root_name())
        elements.push_back(absolute.root_name().native());
    if (absolute.has_root_directory())
        elements.push_back(L"\\");
    const std::size_t roots = elements.size();
    const boost::filesystem::path relative = absolute.relative_path();
    for (const boost::filesystem::path& element : relative) {
        const std::wstring& name = element.native();
        if (name == L"..") {
            if (elements.size() > roots)
                elements.pop_back();
        } else if (name != L"." && !name.empty()) {
            elements.push_back(name);
        }
    }
    return elements;
}

bool SameElement(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() && ::StrIsIntlEqualW(FALSE, a.c_str(), b.c_str(), static_cast<int>(a.size()));
}

} // namespace

bool same_path(const boost::filesystem::path& a, const boost::filesystem::path& b)
{
    if (a == b)
        return true;
    boost::system::error_code error;
    const bool equivalent = boost::filesystem::equivalent(a, b, error);
    if (!error)
        return equivalent;
    // Neither exists (or the file system could not tell): compare the names.
    const std::vector<std::wstring> first = NormalElements(a);
    const std::vector<std::wstring> second = NormalElements(b);
    if (first.size() != second.size())
        return false;
    for (std::size_t i = 0; i < first.size(); ++i)
        if (!SameElement(first[i], second[i]))
            return false;
    return true;
}
