// The data-type table of typed fields. Each row names the characters that may
// be typed and the two conversions; fixed-point rows share one parser that is
// told how many decimals to expect.
#include "ui/data_types.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>

namespace {

constexpr char kStateCodes[] =
    "AKALARAZCACTCODCDEFLGAHIIAIDILINKSKYLAMAMDMEMIMNMOMSMTNCNDNENHNJNMNVNYOHOKORPARISCSDTNTXUTVAVT"
    "WAWIWVWY";
constexpr int kStateCount = 51;
constexpr int kMonthDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

template <typename... Args>
std::string Printf(const char* format, Args... args) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string DigitsOnly(const std::string& text) {
    std::string digits;
    for (char c : text)
        if (IsDigit(c)) digits += c;
    return digits;
}

// A decimal number as the C library reads one: optional sign, then digits up
// to the first other character. Saturates far outside every field's range.
int64_t DecimalOf(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        if (value < (int64_t(1) << 40)) value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

bool StartsWithDigitOrMinus(const std::string& text) {
    return !text.empty() && (IsDigit(text[0]) || text[0] == '-');
}

template <typename T>
void Store(void* value, int64_t v) {
    *static_cast<T*>(value) = static_cast<T>(v);
}
template <typename T>
int64_t Load(const void* value) {
    return *static_cast<const T*>(value);
}

void StoreText(void* value, const std::string& text, size_t limit) {
    size_t n = text.size() < limit ? text.size() : limit;
    char* out = static_cast<char*>(value);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

std::string TextOf(const void* value, int width) {
    const char* text = static_cast<const char*>(value);
    size_t limit = width > 0 ? size_t(width) : 0;
    return std::string(text, strnlen(text, limit));
}

// Fixed point: [sign] digits [. fraction], the fraction scaled to `places`.
struct FixedRule {
    bool sign;
    int places;       // decimals stored
    int maxFraction;  // decimals that may be typed
    bool dotNeedsDigit;
};

bool ParseFixed(const std::string& text, const FixedRule& rule, int64_t& value) {
    size_t i = 0;
    bool negative = false;
    if (rule.sign && i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int64_t scale = 1;
    for (int p = 0; p < rule.places; ++p) scale *= 10;
    int64_t whole = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        if (whole < (int64_t(1) << 40)) whole = whole * 10 + (text[i] - '0');
    int64_t fraction = 0;
    int fractionDigits = 0;
    bool ok = true;
    if (i < text.size() && text[i] == '.') {
        ++i;
        int64_t unit = scale / 10;
        for (; i < text.size() && IsDigit(text[i]) && fractionDigits < rule.maxFraction; ++i) {
            fraction += (text[i] - '0') * unit;
            unit /= 10;
            ++fractionDigits;
        }
        if (rule.dotNeedsDigit && fractionDigits == 0) ok = false;
    }
    if (i != text.size()) ok = false;
    value = whole * scale + fraction;
    if (negative) value = -value;
    return ok;
}

std::string FormatFixed(int64_t value, int places, bool isSigned) {
    int64_t scale = 1;
    for (int p = 0; p < places; ++p) scale *= 10;
    int64_t whole = value / scale;
    int64_t fraction = value % scale;
    if (fraction < 0) fraction = -fraction;
    std::string sign = (isSigned && value < 0 && whole == 0) ? "-" : "";
    return sign + Printf("%lld.%0*lld", (long long)whole, places, (long long)fraction);
}

using FormatFn = int (*)(std::string& out, void* value, int width);
using ParseFn = int (*)(void* value, const std::string& text, int width);

struct DataTypeRow {
    int code;
    const char* typed;
    FormatFn format;
    ParseFn parse;
};

// ---- conversions, one pair per kind of value -------------------------------

int FormatText(std::string& out, void* v, int width) {
    out = TextOf(v, width);
    return 1;
}
int ParseText(void* v, const std::string& t, int width) {
    StoreText(v, t, size_t(width > 0 ? width : 0));
    return !t.empty();
}

template <typename T>
int FormatInteger(std::string& out, void* v, int) {
    out = std::to_string(Load<T>(v));
    return 1;
}
// A number the stored type cannot hold is refused, not wrapped round (99999
// in 16 bits would become 34463): the nearest value it can hold is stored.
template <typename T, bool digitOnly>
int ParseInteger(void* v, const std::string& t, int) {
    const int64_t low = std::numeric_limits<T>::min(), high = std::numeric_limits<T>::max();
    const int64_t value = DecimalOf(t);
    Store<T>(v, value < low ? low : (value > high ? high : value));
    if (value < low || value > high) return 0;
    return digitOnly ? (!t.empty() && IsDigit(t[0])) : StartsWithDigitOrMinus(t);
}

template <typename T, int places, int maxFraction, bool dotNeedsDigit>
int FormatFixedField(std::string& out, void* v, int) {
    out = FormatFixed(Load<T>(v), places, std::is_signed_v<T>);
    return 1;
}
template <typename T, int places, int maxFraction, bool dotNeedsDigit>
int ParseFixedField(void* v, const std::string& t, int) {
    int64_t value = 0;
    bool ok = ParseFixed(t, {std::is_signed_v<T>, places, maxFraction, dotNeedsDigit}, value);
    Store<T>(v, value);
    return ok;
}

int FormatPhone(std::string& out, void* v, int width) {
    std::string d = DigitsOnly(TextOf(v, width < 10 ? width : 10));
    if (d.size() >= 10)
        out = "(" + d.substr(0, 3) + ")" + d.substr(3, 3) + "-" + d.substr(6, 4);
    else if (d.size() == 7)
        out = "() " + d.substr(0, 3) + "-" + d.substr(3, 4);
    else
        return 0;
    return 1;
}
int ParsePhone(void* v, const std::string& t, int width) {
    std::string d = DigitsOnly(t);
    StoreText(v, d, size_t(width < 10 ? (width > 0 ? width : 0) : 10));
    return d.size() == 7 || d.size() == 10;
}

int FormatDate(std::string& out, void* v, int) {
    time_t t = time_t(*static_cast<int32_t*>(v));
    struct tm tm;
    if (!gmtime_r(&t, &tm)) return 0;
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%m/%d/%y", &tm);
    out = buffer;
    return 1;
}
int ParseDate(void* v, const std::string& t, int) {
    std::string d = DigitsOnly(t);
    if (d.size() != 6) return 0;
    int month = std::atoi(d.substr(0, 2).c_str());
    int day = std::atoi(d.substr(2, 2).c_str());
    int year = std::atoi(d.substr(4, 2).c_str());
    if (month < 1 || month > 12 || day < 1 || day > kMonthDays[month - 1]) return 0;
    if (year < 89) return 0;
    int64_t before = 0;
    for (int m = 0; m < month - 1; ++m) before += (m == 1 && year % 4 != 0) ? 28 : kMonthDays[m];
    int64_t days = 365 * int64_t(year) + (year - 69) / 4 + before + day;
    Store<int32_t>(v, 86400 * days - 2207606400LL);
    return 1;
}

int FormatPostal(std::string& out, void* v, int) {
    uint32_t n = *static_cast<uint32_t*>(v);
    if (n >= 512 && n <= 99999)
        out = Printf("%05u", n);
    else if (n >= 2097152 && n <= 999999999)
        out = Printf("%05u-%04u", n / 10000, n % 10000);
    else
        return 0;
    return 1;
}
int ParsePostal(void* v, const std::string& t, int) {
    std::string d = DigitsOnly(t);
    Store<uint32_t>(v, DecimalOf(d));
    return d.size() == 5 || d.size() == 9;
}

int FormatState(std::string& out, void* v, int) {
    int index = *static_cast<int16_t*>(v);
    if (index < 1 || index > kStateCount) return 0;
    out.assign(kStateCodes + 2 * (index - 1), 2);
    return 1;
}
int ParseState(void* v, const std::string& t, int) {
    Store<int16_t>(v, 0);
    if (t.size() != 2) return 0;
    for (int i = 0; i < kStateCount; ++i) {
        if (t.compare(0, 2, kStateCodes + 2 * i, 2) == 0) {
            Store<int16_t>(v, i + 1);
            return 1;
        }
    }
    return 0;
}

int FormatNineDigitText(std::string& out, void* v, int width) {
    std::string d = DigitsOnly(TextOf(v, width));
    if (d.size() != 9) return 0;
    out = d.substr(0, 3) + "-" + d.substr(3, 2) + "-" + d.substr(5, 4);
    return 1;
}
int ParseNineDigitText(void* v, const std::string& t, int width) {
    std::string d = DigitsOnly(t);
    StoreText(v, d, size_t(width < 9 ? (width > 0 ? width : 0) : 9));
    return d.size() == 9;
}

int FormatNineDigitNumber(std::string& out, void* v, int) {
    uint32_t n = *static_cast<uint32_t*>(v);
    out = Printf("%02u-%03u-%04u", n / 10000000, (n / 10000) % 1000, n % 10000);
    return 1;
}
template <size_t digits>
int ParseDigitNumber(void* v, const std::string& t, int) {
    std::string d = DigitsOnly(t);
    Store<uint32_t>(v, DecimalOf(d));
    return d.size() == digits;
}

int FormatTime(std::string& out, void* v, int width) {
    uint32_t& n = *static_cast<uint32_t*>(v);
    n %= 86400;
    out.clear();
    if (width >= 2) out += Printf("%02u", n / 3600);
    if (width >= 5) out += Printf(":%02u", n / 60 % 60);
    if (width >= 8) out += Printf(":%02u", n % 60);
    return 1;
}
int ParseTime(void* v, const std::string& t, int width) {
    std::string d = DigitsOnly(t);
    const bool seconds = width >= 6;
    if (d.size() != (seconds ? 6u : 4u)) return 0;
    int hours = std::atoi(d.substr(0, 2).c_str());
    int minutes = std::atoi(d.substr(2, 2).c_str());
    int secs = seconds ? std::atoi(d.substr(4, 2).c_str()) : 0;
    if (hours > 23 || minutes > 59 || secs > 59) return 0;
    Store<uint32_t>(v, (hours * 60 + minutes) * 60 + secs);
    return 1;
}

int FormatLocalPhone(std::string& out, void* v, int) {
    uint32_t n = *static_cast<uint32_t*>(v);
    out = Printf("%03u-%04u", n / 10000, n % 10000);
    return 1;
}

int ParseDigitText(void* v, const std::string& t, int width) {
    for (char c : t)
        if (!IsDigit(c)) return 0;
    StoreText(v, t, size_t(width > 0 ? width : 0));
    return 1;
}

int FormatNumbers(std::string& out, void* v, int) {
    out = FormatNumberList(*static_cast<NumberList*>(v));
    return 1;
}
int ParseNumbers(void* v, const std::string& t, int) {
    ParseNumberList(*static_cast<NumberList*>(v), t);
    return 1;
}

const DataTypeRow kRows[] = {
    {1, " -~", FormatText, ParseText},
    {2, "0-9", FormatInteger<uint16_t>, ParseInteger<uint16_t, false>},
    {3, "0-9", FormatInteger<uint32_t>, ParseInteger<uint32_t, false>},
    {4, "0-9", FormatInteger<uint32_t>, ParseInteger<uint32_t, true>},
    {5, "0-9+-", FormatInteger<int16_t>, ParseInteger<int16_t, false>},
    {6, "0-9+-", FormatInteger<int32_t>, ParseInteger<int32_t, false>},
    {7, "0-9+-", FormatInteger<int32_t>, ParseInteger<int32_t, false>},
    {8, "0-9.", FormatFixedField<uint32_t, 2, 2, true>, ParseFixedField<uint32_t, 2, 2, true>},
    {9, "0-9+.-", FormatFixedField<int32_t, 2, 2, true>, ParseFixedField<int32_t, 2, 2, true>},
    {10, " 0-9()-", FormatPhone, ParsePhone},
    {11, "0-9/", FormatDate, ParseDate},
    {12, "0-9-", FormatPostal, ParsePostal},
    {13, "A-Z", FormatState, ParseState},
    {14, "0-9.", FormatFixedField<uint32_t, 1, 1, false>, ParseFixedField<uint32_t, 1, 1, false>},
    {15, " 0-9()-", FormatNineDigitText, ParseNineDigitText},
    {16, " 0-9()-", FormatNineDigitNumber, ParseDigitNumber<9>},
    {17, "0-9.", FormatFixedField<uint32_t, 4, 4, true>, ParseFixedField<uint32_t, 4, 4, true>},
    {18, "0-9+.-", FormatFixedField<int32_t, 1, 1, false>, ParseFixedField<int32_t, 1, 1, false>},
    {19, "0-9+.-", FormatFixedField<int32_t, 3, 3, true>, ParseFixedField<int32_t, 3, 3, true>},
    {20, "0-9.", FormatFixedField<uint32_t, 3, 3, true>, ParseFixedField<uint32_t, 3, 3, true>},
    {21, "0-9:", FormatTime, ParseTime},
    {22, " 0-9()-", FormatLocalPhone, ParseDigitNumber<7>},
    {25, "0-9", FormatText, ParseDigitText},
    {28, "0-9, ", FormatNumbers, ParseNumbers},
};

const DataTypeRow* RowOf(int dataType) {
    int code = dataType < 0 ? -dataType : dataType;
    for (const DataTypeRow& row : kRows)
        if (row.code == code) return &row;
    return nullptr;
}

}  // namespace

const char* TypedCharacters(int dataType) {
    const DataTypeRow* row = RowOf(dataType);
    return row ? row->typed : nullptr;
}

bool DataTypeDefined(int dataType) { return dataType == 0 || RowOf(dataType) != nullptr; }

int FormatField(std::string& out, void* value, int dataType, int width) {
    out.clear();
    const DataTypeRow* row = RowOf(dataType);
    if (!row || !row->format(out, value, width)) {
        out.clear();
        return 0;
    }
    return 1;
}

int ParseField(void* value, std::string text, int dataType, int width) {
    const DataTypeRow* row = RowOf(dataType);
    return row ? row->parse(value, text, width) : 0;
}

std::string FormatNumberList(const NumberList& list) {
    std::string out;
    for (int i = 0; i < list.count && i < 8; ++i) {
        if (i) out += ',';
        out += std::to_string(list.numbers[i]);
    }
    return out;
}

// Runs of digits are the numbers; anything else separates them. A ninth and
// later number are dropped: the list holds eight.
void ParseNumberList(NumberList& list, const std::string& text) {
    list.count = 0;
    size_t i = 0;
    while (i < text.size()) {
        if (!IsDigit(text[i])) {
            ++i;
            continue;
        }
        uint32_t n = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i)
            n = (n * 10 + uint32_t(text[i] - '0')) & 0xFFFF;
        if (list.count < 8) list.numbers[list.count++] = uint16_t(n);
    }
}
