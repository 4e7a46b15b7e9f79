#pragma once
#include <boost/filesystem/path.hpp>

// Whether two paths name the same folder or file: equal element by element; else, when either
// exists, whether the file system sees one object; else whether their absolute, lexically
// normalised forms match element by element without regard to case.
bool same_path(const boost::filesystem::path& a, const boost::filesystem::path& b);
