#pragma once
// bzip2 in memory, for tests that build or check packages.
#include <boost/iostreams/copy.hpp>
#include <boost/iostreams/device/array.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/filtering_stream.hpp>

#include <sstream>
#include <string>

namespace testsupport {

// One bzip2 stream of block size 9.
inline std::string Bzip2Compressed(const std::string& bytes)
{
    std::ostringstream out;
    {
        boost::iostreams::filtering_ostream compressor;
        compressor.push(boost::iostreams::bzip2_compressor(9));
        compressor.push(out);
        compressor.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    return out.str();
}

inline std::string Bzip2Decompressed(const std::string& compressed)
{
    boost::iostreams::filtering_istream in;
    in.push(boost::iostreams::bzip2_decompressor());
    in.push(boost::iostreams::array_source(compressed.data(), compressed.size()));
    std::ostringstream out;
    boost::iostreams::copy(in, out);
    return out.str();
}

} // namespace testsupport
