/*
 * What the amount field lets in and how it reads its text as a number.
 * Plain functions on bytes; the field itself lives in converter/.
 */
#ifndef AMOUNT_INPUT_H
#define AMOUNT_INPUT_H

#include <cstddef>
#include <string>

// The bytes of text that the field takes in: digits, '.' and '-' are kept,
// ',' becomes '.', every other byte (and so every multi-byte character) is
// dropped. A zero byte ends the text there.
std::string FilterAmountInput(const char* text, size_t length);

// The field's text as a double: 0 for an empty or null text, otherwise strtod
// of its first 39 bytes, the longest numeric beginning. Reads nothing past
// the 39th byte, whatever the text's length.
double ParseAmount(const char* text);

#endif // AMOUNT_INPUT_H
