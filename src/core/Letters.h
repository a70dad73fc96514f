#pragma once

#include "core/LetterBlock.h"

#include <QString>

// The characters of the letter blocks and the filling of a block from the shared generator.
namespace zrv
{

// The four character groups, in Unicode (each one character of the Turkish code page).
QString lowerCaseLetters(); // "abcçdefgğhıijklmnoöprsştuüvyzqxw" (32)
QString upperCaseLetters(); // "ABCÇDEFGĞHIİJKLMNOÖPRSŞTUÜVYZQXW" (32)
QString digitCharacters();  // "0123456789" (10)
QString signCharacters();   // ".,:;?!()+-=*\"^%" (15)
// The pool built from the ticked groups, always in the order lower, upper, digits, signs.
QString characterPool(bool lower, bool upper, bool digits, bool signs);

// Fills block.text[1..lines], each line block.letters characters drawn with zrv::random(pool size),
// line by line, left to right.  Lines <= 0: nothing is touched.  Letters <= 0: empty lines.
// A block holds at most 6 lines: Lines above 6 is set to 6 and six lines are filled.
// An empty pool gives empty lines and draws nothing from the generator.
void fillBlock(LetterBlock& block, const QString& pool);

} // namespace zrv
