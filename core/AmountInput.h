// What the amount field lets in and how it reads its text as a number.
// Plain functions on bytes; the field itself lives in converter/.
#pragma once

#include <cstddef>
#include <string>

// What typing and pasting may make the field hold, in bytes. Texts the
// program sets itself (results, the Tab rewrite) are not limited.
constexpr size_t kAmountMaxTypedBytes = 15;

// U+2212 MINUS SIGN in UTF-8: the field takes it as '-'.
constexpr char kUnicodeMinus[] = "\xE2\x88\x92";
constexpr size_t kUnicodeMinusLength = 3;

// The bytes of text that the field takes in: digits, '.' and '-' are kept,
// ',' becomes '.', U+2212 becomes '-', every other byte (and so every other
// multi-byte character) is dropped. A zero byte ends the text there.
std::string FilterAmountInput(const char* text, size_t length);

// What the field takes in from a pasted text, before its byte limit: a text
// whose one number is written with thousands groups ("1.234,50",
// "1,234.50", "-1 234 567") gives that number with a point as its decimal
// mark and without the groups ("1234.50"); a minus right after the one
// number, as bookkeeping writes a debit ("1.234,50-"), is its sign; any
// other text gives exactly what FilterAmountInput gives. One character alone always reads as the
// filter reads it. An empty field keeps the first kAmountMaxTypedBytes bytes of the result.
std::string ReadPastedAmount(const char* text, size_t length);

// The field's text as a double: 0 for an empty or null text, otherwise the
// longest numeric beginning of the whole text as strtod reads it in the C
// locale, however long the text is.
double ParseAmount(const char* text);
