#include "present/charset.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace velk;

namespace {

std::string decode(const char* charset, dcm_text_form form, const std::string& bytes) {
    const dcm_charset cs = dcm_charset_from_value(charset, std::strlen(charset));
    std::string out;
    dcm_decode_text(cs, form, bytes.data(), bytes.size(), out);
    return out;
}

struct decode_case {
    const char* charset;
    dcm_text_form form;
    std::string bytes;
    std::string expected;
};

// Values as files written by other software hold them (the Japanese and Korean
// ones as peers encode the names of their sample files).
const decode_case cases[] = {
    {"ISO_IR 100", dcm_text_form::person_name, "Buc^J\xE9r\xF4me", "Buc^Jérôme"},
    {"ISO_IR 126", dcm_text_form::person_name, "\xC4\xE9\xEF\xED\xF5\xF3\xE9\xEF\xF2", "Διονυσιος"},
    {"", dcm_text_form::text, "caf\xE9", "café"},  // the default repertoire, as peers read it
    {"\\ISO 2022 IR 87", dcm_text_form::person_name,
     "\x1B(BYamada^Tarou=\x1B$B;3ED\x1B(B^\x1B$BB@O:\x1B(B=\x1B$B$d$^$@\x1B(B^\x1B$B$?$m$&\x1B(B",
     "Yamada^Tarou=山田^太郎=やまだ^たろう"},
    {"ISO 2022 IR 13\\ISO 2022 IR 87", dcm_text_form::person_name,
     "\x1B)I\xD4\xCF\xC0\xDE\x1B(J^\x1B)I\xC0\xDB\xB3\x1B(J=\x1B$B;3ED\x1B(J^\x1B$BB@O:\x1B(J",
     "ﾔﾏﾀﾞ^ﾀﾛｳ=山田^太郎"},
    {"\\ISO 2022 IR 159", dcm_text_form::text, "\x1B$(D0!\x1B(B", "丂"},
    {"\\ISO 2022 IR 149", dcm_text_form::person_name,
     "Hong^Gildong=\x1B$)C\xFB\xF3^\x1B$)C\xD1\xCE\xD4\xD7=\x1B$)C\xC8\xAB^\x1B$)C\xB1\xE6\xB5\xBF",
     "Hong^Gildong=洪^吉洞=홍^길동"},
    {"\\ISO 2022 IR 58", dcm_text_form::text, "\x1B$)A\xD6\xD0\xCE\xC4", "中文"},
    {"GB18030", dcm_text_form::person_name, "\xCD\xF5^\xD0\xA1\xB6\xAB", "王^小东"},
    // Four-byte codes: one in the Basic Multilingual Plane, one beyond it.
    {"GB18030", dcm_text_form::text, "\x81\x30\x81\x30\x95\x32\x82\x36", "\u0080\U00020000"},
    {"GBK", dcm_text_form::text, "\xCD\xF5\x81\x30\x81\x30", "王\uFFFD0\uFFFD0"},
    {"ISO_IR 192", dcm_text_form::text, "\xE7\x8E\x8B\xE7\x8E", "王\uFFFD"},
};

TEST(Charset, DecodesEachSetAsItsPeersDo) {
    for (const decode_case& c : cases) {
        EXPECT_EQ(decode(c.charset, c.form, c.bytes), c.expected) << c.charset;
    }
}

// What a broken value gives: U+FFFD for what does not decode, and the rest as it is.
TEST(Charset, BrokenBytesGiveReplacementAndTheRestSurvives) {
    // An escape sequence cut at the value's end, and one no decoder knows.
    EXPECT_EQ(decode("\\ISO 2022 IR 87", dcm_text_form::text, "ab\x1B$"), "ab\uFFFD$");
    EXPECT_EQ(decode("\\ISO 2022 IR 87", dcm_text_form::text, "\x1B%Gx"), "\uFFFD%Gx");
    // A two-byte set whose second byte is missing or out of range.
    EXPECT_EQ(decode("\\ISO 2022 IR 87", dcm_text_form::text, "\x1B$B;"), "\uFFFD");
    EXPECT_EQ(decode("\\ISO 2022 IR 149", dcm_text_form::text,
                     "\x1B$)C\xC8"
                     "a"),
              "\uFFFD"
              "a");
    // UTF-8: a surrogate, an overlong form, a lone continuation byte.
    EXPECT_EQ(decode("ISO_IR 192", dcm_text_form::text, "\xED\xA0\x80|\xC0\xAF|\x80"),
              "\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD|\uFFFD");
    // A Thai code that the set leaves undefined.
    EXPECT_EQ(decode("ISO_IR 166", dcm_text_form::text, "\xDB"), "\uFFFD");
}

// After a delimiter a value starts again in its first set; which bytes delimit
// depends on the VR.
TEST(Charset, DelimitersReturnToTheFirstSet) {
    const std::string latin_then_cyrillic = "\x1B-L\xC0^\xC0\\\xC0\r\xC0";
    EXPECT_EQ(
        decode("ISO 2022 IR 100\\ISO 2022 IR 144", dcm_text_form::person_name, latin_then_cyrillic),
        "Р^À\\À\rÀ");
    EXPECT_EQ(decode("ISO 2022 IR 100\\ISO 2022 IR 144", dcm_text_form::multi, latin_then_cyrillic),
              "Р^Р\\À\rÀ");
    EXPECT_EQ(decode("ISO 2022 IR 100\\ISO 2022 IR 144", dcm_text_form::text, latin_then_cyrillic),
              "Р^Р\\Р\rÀ");
}

TEST(Charset, ReadsTheSpellingsInUse) {
    const auto first = [](const char* value) {
        return dcm_charset_from_value(value, std::strlen(value)).first();
    };
    EXPECT_EQ(first("ISO_IR 100 "), dcm_charset_term::latin1);
    EXPECT_EQ(first("ISO 2022 IR 100"), dcm_charset_term::latin1);
    EXPECT_EQ(first("iso-ir 192"), dcm_charset_term::utf8);
    EXPECT_EQ(first("ISO 2022 GBK"), dcm_charset_term::gbk);
    EXPECT_EQ(first("NOT A SET"), dcm_charset_term::ascii);
    const dcm_charset two = dcm_charset_from_value("\\ISO 2022 IR 87\0", 16);
    EXPECT_EQ(two.count, 2);
    EXPECT_EQ(two.terms[1], dcm_charset_term::jis_x0208);
}

TEST(Charset, Utf16SaysWhatUtf8Says) {
    const dcm_charset cs = dcm_charset_from_value("GB18030", 7);
    std::u16string out;
    dcm_decode_text(cs, dcm_text_form::text, "\xCD\xF5\x95\x32\x82\x36", 6, out);
    EXPECT_EQ(out, u"王\U00020000");
}

}  // namespace
