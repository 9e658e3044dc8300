// Field data types: for each DataType code the characters that may be typed,
// how the stored value is shown (FormatField) and how typed text is checked
// and stored (ParseField). A negative code is the same type with an empty
// entry allowed; both functions use the absolute value.
//
// Value forms: short = int16_t/uint16_t, long = int32_t/uint32_t, text = a
// char buffer of at least width + 1 bytes.
#pragma once
#include <cstdint>
#include <string>

namespace dt {
constexpr int ChoiceList = 0;
constexpr int Text = 1;
constexpr int UShort = 2;
constexpr int NumberList = 28;
}  // namespace dt

// A choice list has no typed characters; undefined codes give nullptr.
const char* TypedCharacters(int dataType);
bool DataTypeDefined(int dataType);  // 0 and 28 included

// 1 when out holds the text, 0 when the value cannot be shown (out is empty).
int FormatField(std::string& out, void* value, int dataType, int width);
// 1 when the text is acceptable. Numeric types store what they read even
// when the answer is 0.
int ParseField(void* value, std::string text, int dataType, int width);

// Up to eight 16-bit numbers (the number list field).
struct NumberList {
    uint16_t count;
    uint16_t numbers[8];
};
std::string FormatNumberList(const NumberList& list);  // "1,5,10"; "" when empty
void ParseNumberList(NumberList& list, const std::string& text);
