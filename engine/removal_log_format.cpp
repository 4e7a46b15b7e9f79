#include "engine/removal_log_format.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cwchar>
#include <optional>

namespace {

constexpr wchar_t kWhiteSpace[] = L" \t\n\v\f\r";
constexpr wchar_t kVersionLabel[] = L"Uninstall Log File v";
constexpr wchar_t kProductLabel[] = L"Install";
constexpr wchar_t kInstallPathLabel[] = L"Install Path : ";
constexpr wchar_t kMenuPathLabel[] = L"Shortcut Path : ";

std::wstring Trimmed(std::wstring_view text)
{
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::wstring_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return std::wstring(text.substr(first, last - first + 1));
}

// FF FE: UTF-16 little-endian text; anything else is 8-bit text.
bool HasUtf16Mark(std::string_view bytes)
{
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

bool IsWhiteSpace(wchar_t character)
{
    return character != L'\0' && std::wcschr(kWhiteSpace, character) != nullptr;
}

// The lines of the file, each with its line end, as they fill the line buffer in turn; a line the
// buffer cannot hold ends the lines, since taking it in pieces would read its tail as a line of
// its own.
class LineSource {
public:
    LineSource(std::string_view bytes, const NarrowToWide& narrowToWide)
        : m_bytes(bytes), m_narrowToWide(narrowToWide), m_wide(HasUtf16Mark(bytes)), m_position(m_wide ? 2 : 0)
    {
    }

    // The next line; none at the end of the text or at a line too long for the buffer. A lone
    // byte after the last UTF-16 character is no character and is not read.
    std::optional<std::wstring> Next()
    {
        const std::size_t unit = m_wide ? 2 : 1;
        // Room for the text and its terminating zero, as a C string in the buffer would need.
        const std::size_t capacity = kRemovalLogLineBufferBytes / unit - 1;
        std::size_t units = 0;
        bool ended = false;
        while (!ended && m_position + (units + 1) * unit <= m_bytes.size()) {
            if (units == capacity)
                return std::nullopt;
            ended = CodeUnit(units) == 0x0A;
            ++units;
        }
        const std::size_t start = m_position;
        m_position += units * unit;
        if (units == 0)
            return std::nullopt;
        if (!m_wide)
            return m_narrowToWide(m_bytes.substr(start, units));
        std::wstring line(units, L'\0');
        for (std::size_t i = 0; i < units; ++i)
            line[i] = static_cast<wchar_t>(CodeUnitAt(start + i * unit));
        return line;
    }

private:
    std::uint16_t CodeUnit(std::size_t index) const { return CodeUnitAt(m_position + index * (m_wide ? 2 : 1)); }
    std::uint16_t CodeUnitAt(std::size_t offset) const
    {
        const auto low = static_cast<unsigned char>(m_bytes[offset]);
        if (!m_wide)
            return low;
        return static_cast<std::uint16_t>(low | static_cast<unsigned char>(m_bytes[offset + 1]) << 8);
    }

    std::string_view m_bytes;
    const NarrowToWide& m_narrowToWide;
    bool m_wide = false;
    std::size_t m_position = 0;
};

// The fields of a record line, read from left to right, each after the white space before it.
class FieldReader {
public:
    explicit FieldReader(std::wstring_view text) : m_text(text) {}

    // Decimal digits with an optional sign; the value saturates instead of overflowing.
    std::optional<long long> Decimal()
    {
        SkipWhiteSpace();
        bool negative = false;
        if (m_position < m_text.size() && (m_text[m_position] == L'-' || m_text[m_position] == L'+'))
            negative = m_text[m_position++] == L'-';
        long long value = 0;
        const std::size_t digitsStart = m_position;
        for (; m_position < m_text.size() && m_text[m_position] >= L'0' && m_text[m_position] <= L'9'; ++m_position)
            value = value > 100000000000LL ? value : value * 10 + (m_text[m_position] - L'0');
        if (m_position == digitsStart)
            return std::nullopt;
        return negative ? -value : value;
    }

    // Hexadecimal digits, optionally after "0x"; the value saturates instead of overflowing.
    std::optional<unsigned long long> Hexadecimal()
    {
        SkipWhiteSpace();
        if (m_position + 2 < m_text.size() && m_text[m_position] == L'0' &&
            (m_text[m_position + 1] == L'x' || m_text[m_position + 1] == L'X') && HexDigit(m_text[m_position + 2]))
            m_position += 2;
        unsigned long long value = 0;
        const std::size_t digitsStart = m_position;
        for (; m_position < m_text.size() && HexDigit(m_text[m_position]); ++m_position)
            value = value > 0xFFFFFFFFFFFULL ? value : value * 16 + *HexDigit(m_text[m_position]);
        if (m_position == digitsStart)
            return std::nullopt;
        return value;
    }

    std::optional<wchar_t> Character()
    {
        SkipWhiteSpace();
        if (m_position == m_text.size())
            return std::nullopt;
        return m_text[m_position++];
    }

    std::wstring_view Word()
    {
        SkipWhiteSpace();
        const std::size_t start = m_position;
        while (m_position < m_text.size() && !IsWhiteSpace(m_text[m_position]))
            ++m_position;
        return m_text.substr(start, m_position - start);
    }

    std::wstring_view Rest()
    {
        SkipWhiteSpace();
        return m_text.substr(m_position);
    }

private:
    static std::optional<unsigned> HexDigit(wchar_t character)
    {
        if (character >= L'0' && character <= L'9')
            return character - L'0';
        if (character >= L'a' && character <= L'f')
            return character - L'a' + 10;
        if (character >= L'A' && character <= L'F')
            return character - L'A' + 10;
        return std::nullopt;
    }
    void SkipWhiteSpace()
    {
        while (m_position < m_text.size() && IsWhiteSpace(m_text[m_position]))
            ++m_position;
    }

    std::wstring_view m_text;
    std::size_t m_position = 0;
};

std::optional<LogRecord> ParseRecord(std::wstring_view line)
{
    FieldReader fields(line);
    const std::optional<long long> index = fields.Decimal();
    if (!index || *index < 0 || fields.Character() != L':')
        return std::nullopt;
    const std::optional<unsigned long long> code = fields.Hexadecimal();
    if (!code || (*code >> 8) > RecordRegistration || fields.Character() != L':')
        return std::nullopt;
    const std::optional<wchar_t> done = fields.Character();
    if (done != L'0' && done != L'1')
        return std::nullopt;
    if (fields.Word() != L"--")
        return std::nullopt;
    LogRecord record;
    record.type = static_cast<int>(*code >> 8);
    record.entryFlags = (*code & 0xFF) == 0xFF ? -1 : static_cast<int>(*code & 0xFF);
    record.done = *done == L'1';
    if (record.type <= RecordDesktopShortcut)
        record.path = std::wstring(fields.Rest());
    return record;
}

// Removes the first occurrence of `label`; false when it does not occur.
bool RemoveLabel(std::wstring& text, std::wstring_view label)
{
    const std::size_t at = text.find(label);
    if (at == std::wstring::npos)
        return false;
    text.erase(at, label.size());
    return true;
}

// A folder line's value after its label. Trimming the line has already taken the blank that
// ends the label when the folder is empty, so the label without it closing the line counts too:
// a log written for an installation without a Start-menu folder must read back past that line.
std::optional<std::wstring> FolderValue(std::wstring text, std::wstring_view label)
{
    if (RemoveLabel(text, label))
        return Trimmed(text);
    const std::wstring_view bare = label.substr(0, label.size() - 1);
    if (text.size() >= bare.size() && text.compare(text.size() - bare.size(), bare.size(), bare) == 0)
        return std::wstring();
    return std::nullopt;
}

// `value` in `base` (lower-case letters), zero-padded to at least four digits.
std::wstring PaddedDigits(std::size_t value, unsigned base)
{
    std::wstring digits;
    do {
        digits.insert(digits.begin(), L"0123456789abcdef"[value % base]);
        value /= base;
    } while (value != 0);
    if (digits.size() < 4)
        digits.insert(0, 4 - digits.size(), L'0');
    return digits;
}

} // namespace

std::vector<std::wstring> RemovalLogHeaderLines(const std::wstring& product, const std::wstring& previousProduct,
                                                const std::wstring& installFolder, const std::wstring& menuFolder)
{
    std::wstring productLine = L"// Install " + product;
    if (!previousProduct.empty())
        productLine += L" -- Update (" + previousProduct + L")";
    const std::wstring menuContent = kMenuPathLabel + menuFolder;
    return {
        L"// Uninstall Log File v1",
        L"// ############ WARNING: Do not delete or modify this file. ############",
        productLine,
        L"// " + (kInstallPathLabel + installFolder),
        L"// " + menuContent,
        L"// " + std::wstring(menuContent.size(), L'-'),
    };
}

std::wstring RemovalLogRecordLine(std::size_t index, const LogRecord& record)
{
    const unsigned code =
        static_cast<unsigned>(record.type) * 256u + (static_cast<unsigned>(record.entryFlags) & 0xFFu);
    return PaddedDigits(index, 10) + L":" + PaddedDigits(code, 16) + (record.done ? L":1 -- " : L":0 -- ") +
           record.path;
}

std::string_view RemovalLogWholeLines(std::string_view bytes)
{
    if (!HasUtf16Mark(bytes)) {
        const std::size_t lineFeed = bytes.rfind('\n');
        return bytes.substr(0, lineFeed == std::string_view::npos ? 0 : lineFeed + 1);
    }
    for (std::size_t end = 2 + (bytes.size() - 2) / 2 * 2; end > 2; end -= 2) {
        if (bytes[end - 2] == '\n' && bytes[end - 1] == '\0')
            return bytes.substr(0, end);
    }
    return bytes.substr(0, 2);
}

RemovalLogContents ReadRemovalLog(std::string_view bytes, const NarrowToWide& narrowToWide)
{
    RemovalLogContents contents;
    LineSource lines(bytes, narrowToWide);
    for (int number = 0;; ++number) {
        const std::optional<std::wstring> raw = lines.Next();
        if (!raw)
            break;
        // A zero character would cut the text wherever it is later used as a C string: a path
        // cut there could name another file.
        if (raw->find(L'\0') != std::wstring::npos)
            break;
        std::wstring line = Trimmed(*raw);
        if (line.compare(0, 2, L"//") == 0) {
            line.erase(0, line.find_first_not_of(L'/'));
            line.erase(0, line.find_first_not_of(kWhiteSpace));
            if (number == 0) {
                if (RemoveLabel(line, kVersionLabel)) {
                    FieldReader version(line);
                    const std::optional<long long> value = version.Decimal();
                    if (value)
                        contents.version = static_cast<int>(std::clamp<long long>(*value, INT_MIN, INT_MAX));
                }
                if (contents.version != 1)
                    break;
            } else if (number == 2) {
                if (!RemoveLabel(line, kProductLabel))
                    break;
                contents.previousProduct = Trimmed(std::wstring_view(line).substr(0, line.find(L"--")));
            } else if (number == 3) {
                std::optional<std::wstring> folder = FolderValue(line, kInstallPathLabel);
                if (!folder)
                    break;
                contents.installFolder = std::move(*folder);
            } else if (number == 4) {
                std::optional<std::wstring> folder = FolderValue(line, kMenuPathLabel);
                if (!folder)
                    break;
                contents.menuFolder = std::move(*folder);
            }
            continue;
        }
        if (contents.version != 1)
            break;
        std::optional<LogRecord> record = ParseRecord(line);
        if (!record)
            break;
        contents.records.push_back(std::move(*record));
    }
    return contents;
}
