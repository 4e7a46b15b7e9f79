#include "package/compress_error.h"

#include <gtest/gtest.h>

TEST(CompressCategory, NamesAndMessages)
{
    EXPECT_STREQ(compress_category().name(), "compress");
    EXPECT_EQ(&compress_category(), &make_error_code(interrupted).category()) << "one instance";
    const struct {
        int code;
        const char* message;
    } cases[] = {
        {invalid_checksum, "invalid checksum"}, {invalid_package, "unknown error"},
        {interrupted, "interrupted"},           {decompression_error, "bzip2 error"},
        {unexpected_error, "unexpected error"}, {0, "unknown error"},
        {8, "unknown error"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(compress_category().message(c.code), c.message) << "code " << c.code;
}

TEST(CompressCategory, IsAPlainCategory)
{
    const std::error_code code = make_error_code(unexpected_error);
    EXPECT_EQ(code.default_error_condition(), std::error_condition(7, compress_category()));
    EXPECT_NE(code, std::error_code(7, std::generic_category()));
}
