#include "shown_text.h"

namespace widgets {

namespace {

// One shown character: how many bytes it takes and what it shows as.
struct step {
    std::size_t bytes;
    char32_t code;   // U+FFFD for a byte that starts no valid sequence
};

step next_step(std::string_view s, std::size_t i, bool crlf_as_newline)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        if (crlf_as_newline && b0 == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
            return {2, U'\n'};
        return {1, b0};
    }
    std::size_t length = 0;
    char32_t code = 0;
    char32_t least = 0;
    if (b0 >= 0xc2 && b0 <= 0xdf) {
        length = 2, code = b0 & 0x1f, least = 0x80;
    } else if (b0 >= 0xe0 && b0 <= 0xef) {
        length = 3, code = b0 & 0x0f, least = 0x800;
    } else if (b0 >= 0xf0 && b0 <= 0xf4) {
        length = 4, code = b0 & 0x07, least = 0x10000;
    } else {
        return {1, 0xfffd};
    }
    if (i + length > s.size())
        return {1, 0xfffd};
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xc0) != 0x80)
            return {1, 0xfffd};
        code = (code << 6) | (b & 0x3f);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if (code < least || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff)
        return {1, 0xfffd};
    return {length, code};
}

qsizetype units_of(char32_t code) { return code >= 0x10000 ? 2 : 1; }

} // namespace

QString shown_text(std::string_view bytes, bool crlf_as_newline)
{
    QString shown;
    shown.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size();) {
        // Plain ASCII goes over in runs, which keeps long lists cheap to show.
        std::size_t run = i;
        while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80 && bytes[run] != '\r')
            ++run;
        if (run > i) {
            shown.append(QLatin1StringView(bytes.data() + i, static_cast<qsizetype>(run - i)));
            i = run;
            continue;
        }
        const step s = next_step(bytes, i, crlf_as_newline);
        if (s.code >= 0x10000) {
            shown.append(QChar::fromUcs4(s.code));
        } else {
            shown.append(QChar(static_cast<char16_t>(s.code)));
        }
        i += s.bytes;
    }
    return shown;
}

std::size_t byte_offset(std::string_view bytes, qsizetype shown_offset, bool crlf_as_newline)
{
    qsizetype units = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const step s = next_step(bytes, i, crlf_as_newline);
        if (units + units_of(s.code) > shown_offset)
            break;
        units += units_of(s.code);
        i += s.bytes;
    }
    return i;
}

std::string typed_bytes(const QString& shown, bool crlf_as_newline)
{
    QString text = shown;
    if (crlf_as_newline) {
        // The text editor hands its paragraphs back joined by '\n'.
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    }
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

} // namespace widgets
