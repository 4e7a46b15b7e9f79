// The packer: builds the installer's package resource from a manifest.
//   ostrel_packer <manifest> <package output> [<depfile>]
// Every bad manifest line is reported; then nothing is written. The output appears whole or not
// at all, so an interrupted build never embeds half a package. The depfile (make syntax) names
// the manifest and every source, so the build packs again when one changes.
#include "tools/packer/manifest.h"
#include "tools/packer/package_builder.h"

#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

std::string DepfileEscaped(const std::filesystem::path& path)
{
    std::string escaped;
    for (const char c : path.string()) {
        if (c == ' ' || c == '#' || c == '\\')
            escaped += '\\';
        if (c == '$')
            escaped += '$';
        escaped += c;
    }
    return escaped;
}

void WriteDepfile(const std::filesystem::path& depfile, const std::filesystem::path& output,
                  const std::filesystem::path& manifestFile, const manifest& checked)
{
    std::ofstream out(depfile, std::ios::binary | std::ios::trunc);
    out << DepfileEscaped(output) << ": " << DepfileEscaped(std::filesystem::absolute(manifestFile));
    for (const manifest_entry& entry : checked.entries)
        out << " \\\n  " << DepfileEscaped(entry.source);
    out << '\n';
    if (!out)
        throw packing_error("cannot write " + depfile.string());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: " << argv[0] << " <manifest> <package output> [<depfile>]\n";
        return 2;
    }
    const std::filesystem::path manifestFile = argv[1];
    const std::filesystem::path output = argv[2];
    const manifest checked = read_manifest(manifestFile);
    for (const std::string& error : checked.errors)
        std::cerr << error << '\n';
    if (!checked.errors.empty()) {
        std::cerr << "packer: " << checked.errors.size() << " bad line(s); no package written\n";
        return 1;
    }
    std::filesystem::path partial = output;
    partial += ".partial";
    try {
        {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            if (!out)
                throw packing_error("cannot create " + partial.string());
            build_package(checked.entries, out);
            out.close();
            if (!out)
                throw packing_error("cannot write " + partial.string());
        }
        std::filesystem::rename(partial, output);
        if (argc == 4)
            WriteDepfile(argv[3], output, manifestFile, checked);
    } catch (const std::exception& error) {
        std::error_code ignored; // the partial file may not exist
        std::filesystem::remove(partial, ignored);
        std::cerr << manifestFile.string() << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
