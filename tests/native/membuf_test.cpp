#include "package/membuf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Held(const vt::membuf& buffer)
{
    const auto [data, size] = buffer.range();
    return std::string(data, size);
}

} // namespace

TEST(Membuf, OwnedStorageGrowsBy256BelowHalfAKilobyteThenByHalf)
{
    const struct {
        std::size_t written;
        std::size_t capacity;
    } steps[] = {{0, 0}, {1, 256}, {256, 256}, {257, 512}, {512, 512}, {513, 768},
                 {768, 768}, {769, 1152}, {1153, 1728}, {1729, 2592}};
    vt::memstream stream;
    std::size_t written = 0;
    for (const auto& step : steps) {
        for (; written < step.written; ++written)
            stream.put(static_cast<char>('a' + written % 26));
        ASSERT_TRUE(stream.good());
        EXPECT_EQ(stream.rdbuf()->capacity(), step.capacity) << "after " << step.written << " bytes";
        EXPECT_EQ(stream.rdbuf()->range().second, step.written);
    }
    const std::string held = Held(*stream.rdbuf());
    for (std::size_t i = 0; i < held.size(); ++i)
        ASSERT_EQ(held[i], static_cast<char>('a' + i % 26)) << "growth keeps the bytes, at " << i;
}

TEST(Membuf, WrittenBytesBecomeReadable)
{
    vt::memstream stream;
    stream << "header";
    std::string word;
    stream >> word;
    EXPECT_EQ(word, "header");
    stream.clear();
    stream << "-more";
    stream >> word;
    EXPECT_EQ(word, "-more") << "reading resumes where it stopped";
}

TEST(Membuf, SeekingStaysWithinTheBytesHeld)
{
    vt::memstream stream;
    stream << "0123456789";
    EXPECT_TRUE(stream.seekg(4));
    EXPECT_EQ(stream.get(), '4');
    EXPECT_TRUE(stream.seekg(-2, std::ios_base::end));
    EXPECT_EQ(stream.get(), '8');
    EXPECT_TRUE(stream.seekg(-3, std::ios_base::cur));
    EXPECT_EQ(stream.get(), '6');
    EXPECT_TRUE(stream.seekg(10));
    EXPECT_EQ(stream.get(), std::char_traits<char>::eof()) << "the end is a valid position";

    for (std::streamoff bad : {std::streamoff(-1), std::streamoff(11), std::streamoff(1) << 40}) {
        stream.clear();
        EXPECT_FALSE(stream.seekg(bad)) << "seek to " << bad;
    }

    // Writing over the start leaves the length at the furthest byte written.
    stream.clear();
    EXPECT_TRUE(stream.seekp(0));
    stream << "ab";
    EXPECT_EQ(Held(*stream.rdbuf()), "ab23456789");
    EXPECT_TRUE(stream.seekp(0, std::ios_base::end));
    stream << "X";
    EXPECT_EQ(Held(*stream.rdbuf()), "ab23456789X");
}

TEST(Membuf, ReadOnlyViewReadsSeeksAndRefusesWrites)
{
    const char bytes[] = {'v', 'i', 'e', 'w'};
    vt::imemstream stream(bytes, sizeof(bytes));
    EXPECT_EQ(stream.rdbuf()->range().first, bytes) << "a view, not a copy";
    EXPECT_EQ(stream.rdbuf()->capacity(), 0u);
    char read[4] = {};
    EXPECT_TRUE(stream.read(read, 4));
    EXPECT_EQ(std::string(read, 4), "view");
    EXPECT_TRUE(stream.seekg(0));
    EXPECT_EQ(stream.get(), 'v');
    EXPECT_TRUE(stream.unget()) << "stepping back over the same byte";
    EXPECT_EQ(stream.get(), 'v');
    EXPECT_FALSE(stream.putback('x')) << "a view never changes the bytes it shows";
    EXPECT_EQ(bytes[0], 'v');

    vt::membuf& buffer = *stream.rdbuf();
    EXPECT_EQ(buffer.sputc('x'), std::char_traits<char>::eof());
    EXPECT_EQ(buffer.pubseekpos(0, std::ios_base::out), std::streampos(std::streamoff(-1)));
}

TEST(Membuf, EmptyStreamEndsAtOnce)
{
    vt::imemstream empty;
    EXPECT_EQ(empty.get(), std::char_traits<char>::eof());
    EXPECT_TRUE(empty.eof());
}

TEST(Membuf, MovedStreamKeepsItsView)
{
    const char bytes[] = "abc";
    vt::imemstream original(bytes, 3);
    original.get();
    vt::imemstream moved(std::move(original));
    EXPECT_EQ(moved.get(), 'b');
    EXPECT_EQ(moved.rdbuf()->range().first, bytes);
}
