// The forms are those of the standard's PS3.5 section 6.2 (table 6.2-1) and,
// for UIDs, section 9.1.
#include "check/value_rules.h"

#include <array>
#include <cstdio>

namespace velk {

namespace {

bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }
bool is_upper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool printable(unsigned char c) { return c >= 0x20 && c < 0x7F; }
bool text_control(unsigned char c) { return c == '\r' || c == '\n' || c == '\f' || c == '\t'; }

bool any_char(unsigned char) { return true; }
bool default_no_control(unsigned char c) { return printable(c); }
bool default_with_control(unsigned char c) { return printable(c) || text_control(c); }
// Extended repertoires: bytes above 0x7F belong to the character set; ESC
// switches code elements.
bool extended(unsigned char c) { return printable(c) || c >= 0x80 || c == 0x1B; }
bool extended_with_control(unsigned char c) { return extended(c) || text_control(c); }
bool code_string(unsigned char c) { return is_upper(c) || is_digit(c) || c == ' ' || c == '_'; }
bool decimal_string(unsigned char c) {
    return is_digit(c) || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e' || c == ' ';
}
bool integer_string(unsigned char c) { return is_digit(c) || c == '+' || c == '-' || c == ' '; }
bool date_chars(unsigned char c) { return is_digit(c); }
bool time_chars(unsigned char c) { return is_digit(c) || c == '.' || c == ' '; }
bool date_time_chars(unsigned char c) {
    return is_digit(c) || c == '.' || c == '+' || c == '-' || c == '&' || c == ' ';
}
bool age_chars(unsigned char c) {
    return is_digit(c) || c == 'D' || c == 'W' || c == 'M' || c == 'Y';
}
bool uid_chars(unsigned char c) { return is_digit(c) || c == '.'; }
bool uri_chars(unsigned char c) { return c > 0x20 && c < 0x7F; }
bool ae_chars(unsigned char c) { return printable(c) && c != '\\'; }

using fault_text = std::string;

// A run of digits at `at` of `n` characters, read as a number, or -1.
int number_at(std::string_view v, std::size_t at, std::size_t n) {
    if (at + n > v.size()) return -1;
    int x = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (!is_digit(static_cast<unsigned char>(v[i]))) return -1;
        x = x * 10 + (v[i] - '0');
    }
    return x;
}

std::size_t digits_from(std::string_view v, std::size_t at) {
    std::size_t n = 0;
    while (at + n < v.size() && is_digit(static_cast<unsigned char>(v[at + n]))) ++n;
    return n;
}

fault_text no_form(std::string_view) { return {}; }

fault_text date_parts(std::string_view v, std::size_t digits) {
    if (digits >= 6) {
        const int month = number_at(v, 4, 2);
        if (month < 1 || month > 12) return "month " + std::string(v.substr(4, 2));
    }
    if (digits >= 8) {
        const int day = number_at(v, 6, 2);
        if (day < 1 || day > 31) return "day " + std::string(v.substr(6, 2));
    }
    return {};
}

fault_text time_parts(std::string_view v, std::size_t at, std::size_t digits) {
    static const int limits[] = {24, 60, 61};  // a leap second may be 60
    static const char* const names[] = {"hour", "minute", "second"};
    for (std::size_t part = 0; part * 2 < digits && part < 3; ++part) {
        const int x = number_at(v, at + part * 2, 2);
        if (x < 0 || x >= limits[part])
            return names[part] + (" " + std::string(v.substr(at + part * 2, 2)));
    }
    return {};
}

// YYYYMMDD.
fault_text date_form(std::string_view v) {
    if (v.size() != 8) return "a date has 8 digits, YYYYMMDD";
    return date_parts(v, 8);
}

// HH, HHMM, HHMMSS or HHMMSS.F to HHMMSS.FFFFFF.
fault_text time_form(std::string_view v) {
    const std::size_t digits = digits_from(v, 0);
    if (digits != 2 && digits != 4 && digits != 6) return "a time is HH, HHMM or HHMMSS.FFFFFF";
    if (digits < v.size()) {
        const std::size_t fraction = digits_from(v, digits + 1);
        if (digits != 6 || v[digits] != '.' || fraction < 1 || fraction > 6 ||
            digits + 1 + fraction != v.size())
            return "a time is HH, HHMM or HHMMSS.FFFFFF";
    }
    return time_parts(v, 0, digits);
}

// YYYY[MM[DD[HH[MM[SS[.F{1,6}]]]]]][&ZZXX].
fault_text date_time_form(std::string_view v) {
    const char* const form =
        "a date and time is YYYYMMDDHHMMSS.FFFFFF&ZZXX or a leading part of it";
    std::size_t end = v.size();
    if (end >= 5 && (v[end - 5] == '+' || v[end - 5] == '-' || v[end - 5] == '&')) {
        if (digits_from(v, end - 4) != 4) return form;
        end -= 5;
    }
    const std::string_view body = v.substr(0, end);
    const std::size_t digits = digits_from(body, 0);
    if (digits < 4 || digits > 14 || digits % 2 != 0) return form;
    if (digits < body.size()) {
        const std::size_t fraction = digits_from(body, digits + 1);
        if (digits != 14 || body[digits] != '.' || fraction < 1 || fraction > 6 ||
            digits + 1 + fraction != body.size())
            return form;
    }
    const fault_text date = date_parts(body, digits);
    if (!date.empty()) return date;
    return digits > 8 ? time_parts(body, 8, digits - 8) : fault_text();
}

// nnnD, nnnW, nnnM or nnnY.
fault_text age_form(std::string_view v) {
    if (v.size() != 4 || digits_from(v, 0) != 3 || is_digit(static_cast<unsigned char>(v[3])))
        return "an age is nnnD, nnnW, nnnM or nnnY";
    return {};
}

// [+-]digits[.digits][E[+-]digits], or [+-].digits...
fault_text decimal_form(std::string_view v) {
    std::size_t at = 0;
    if (at < v.size() && (v[at] == '+' || v[at] == '-')) ++at;
    const std::size_t whole = digits_from(v, at);
    at += whole;
    std::size_t fraction = 0;
    if (at < v.size() && v[at] == '.') {
        fraction = digits_from(v, at + 1);
        at += 1 + fraction;
    }
    if (whole + fraction == 0) return "a decimal string is a number";
    if (at < v.size() && (v[at] == 'E' || v[at] == 'e')) {
        ++at;
        if (at < v.size() && (v[at] == '+' || v[at] == '-')) ++at;
        const std::size_t exponent = digits_from(v, at);
        if (exponent == 0) return "a decimal string is a number";
        at += exponent;
    }
    return at == v.size() ? fault_text() : "a decimal string is a number";
}

// [+-]digits, from -2^31 to 2^31 - 1.
fault_text integer_form(std::string_view v) {
    std::size_t at = 0;
    const bool negative = !v.empty() && v[0] == '-';
    if (!v.empty() && (v[0] == '+' || v[0] == '-')) ++at;
    const std::size_t digits = digits_from(v, at);
    if (digits == 0 || at + digits != v.size()) return "an integer string is a whole number";
    long long x = 0;
    for (std::size_t i = at; i < v.size() && x <= 4294967296LL; ++i) x = x * 10 + (v[i] - '0');
    if (x > (negative ? 2147483648LL : 2147483647LL))
        return "out of range: an integer string holds 32 bits";
    return {};
}

// Components of digits between full stops; no component empty or with a
// leading zero; not nothing but zeros; the first an arc of the root of object
// identifiers, 0, 1 or 2 (section 9.1).
fault_text uid_form(std::string_view v) {
    if (v.size() > 1 && (v[0] < '0' || v[0] > '2' || v[1] != '.'))
        return "its first component is 0, 1 or 2";
    // One pass over the characters: a UID is short and a file may hold a
    // hundred thousand of them, so no search per component.
    bool only_zeros = true;
    std::size_t start = 0;  // the component's first character
    for (std::size_t at = 0; at <= v.size(); ++at) {
        if (at < v.size() && v[at] != '.') {
            only_zeros = only_zeros && v[at] == '0';
            continue;
        }
        if (at == start) return "a UID has no empty component";
        if (at - start > 1 && v[start] == '0')
            return "component \"" + std::string(v.substr(start, at - start)) +
                   "\" has a leading zero";
        start = at + 1;
    }
    return only_zeros ? "a UID is not nothing but zeros" : fault_text();
}

struct repertoire_rule {
    dcm_repertoire repertoire;
    const char* noun;  // "a date": what a value may hold
    bool (*allowed)(unsigned char);
    fault_text (*form)(std::string_view);
    bool trim;  // leading and trailing spaces carry no meaning
};

// In the order of dcm_repertoire.
const repertoire_rule rules[] = {
    {dcm_repertoire::none, "a value", any_char, no_form, false},
    {dcm_repertoire::default_no_control, "this text", default_no_control, no_form, false},
    {dcm_repertoire::default_with_control, "this text", default_with_control, no_form, false},
    {dcm_repertoire::extended, "this text", extended, no_form, false},
    {dcm_repertoire::extended_with_control, "this text", extended_with_control, no_form, false},
    {dcm_repertoire::code_string, "a code string", code_string, no_form, true},
    {dcm_repertoire::decimal_string, "a decimal string", decimal_string, decimal_form, true},
    {dcm_repertoire::integer_string, "an integer string", integer_string, integer_form, true},
    {dcm_repertoire::date, "a date", date_chars, date_form, true},
    {dcm_repertoire::time, "a time", time_chars, time_form, true},
    {dcm_repertoire::date_time, "a date and time", date_time_chars, date_time_form, true},
    {dcm_repertoire::age_string, "an age", age_chars, age_form, false},
    {dcm_repertoire::uid, "a UID", uid_chars, uid_form, false},
    {dcm_repertoire::uri, "a URI", uri_chars, no_form, true},
    {dcm_repertoire::application_entity, "an application entity title", ae_chars, no_form, true},
};

const repertoire_rule& rule_of(dcm_repertoire repertoire) {
    const auto i = static_cast<std::size_t>(repertoire);
    if (i < sizeof rules / sizeof rules[0] && rules[i].repertoire == repertoire) return rules[i];
    for (const repertoire_rule& rule : rules)
        if (rule.repertoire == repertoire) return rule;
    return rules[0];
}

std::string character(unsigned char c) {
    if (printable(c)) return std::string("'") + char(c) + "'";
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", unsigned(c));
    return text;
}

// The bytes each rule allows, one table per rule made once from its `allowed`:
// a value's bytes are judged by lookups, not by a call each.
using byte_table = std::array<bool, 256>;
constexpr std::size_t rule_count = sizeof rules / sizeof rules[0];

const byte_table& allowed_bytes(const repertoire_rule& rule) {
    static const std::array<byte_table, rule_count> tables = [] {
        std::array<byte_table, rule_count> made{};
        for (std::size_t r = 0; r < rule_count; ++r)
            for (unsigned c = 0; c < 256; ++c)
                made[r][c] = rules[r].allowed(static_cast<unsigned char>(c));
        return made;
    }();
    return tables[std::size_t(&rule - rules)];
}

}  // namespace

bool dcm_value_spaces_insignificant(dcm_repertoire repertoire) { return rule_of(repertoire).trim; }

std::string dcm_value_fault(dcm_repertoire repertoire, std::string_view value) {
    const repertoire_rule& rule = rule_of(repertoire);
    const byte_table& allowed = allowed_bytes(rule);
    for (const char c : value)
        if (!allowed[static_cast<unsigned char>(c)])
            return std::string("has characters ") + rule.noun +
                   " may not hold: " + character(static_cast<unsigned char>(c));
    if (value.empty()) return {};
    const std::string why = rule.form(value);
    if (why.empty()) return {};
    return std::string("is not ") + rule.noun + ": " + why;
}

}  // namespace velk
