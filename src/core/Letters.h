#pragma once

#include "core/LetterBlock.h"

#include <QString>

// The characters of the letter blocks and the filling of a block from the shared generator.
namespace zrv
{

// The four character groups, in Unicode (each one character of the Turkish code page).
QString LowerCaseLetters(); // "abcçdefgğhıijklmnoöprsştuüvyzqxw" (32)
QString UpperCaseLetters(); // "ABCÇDEFGĞHIİJKLMNOÖPRSŞTUÜVYZQXW" (32)
QString DigitCharacters();  // "0123456789" (10)
QString SignCharacters();   // ".,:;?!()+-=*\"^%" (15)
// The pool built from the ticked groups, always in the order lower, upper, digits, signs.
QString CharacterPool(bool lower, bool upper, bool digits, bool signs);

// Fills block.Text[1..Lines], each line block.Letters characters drawn with zrv::Random(pool size),
// line by line, left to right.  Lines <= 0: nothing is touched.  Letters <= 0: empty lines.
// A block holds at most 6 lines: Lines above 6 is set to 6 and six lines are filled.
// An empty pool gives empty lines and draws nothing from the generator.
void FillBlok(LetterBlock& block, const QString& pool);

} // namespace zrv
