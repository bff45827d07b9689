// The catalogues compiled into the program, for texts/Texts.cpp's table of
// languages: a new language is one file that defines its rows and one line in
// that table.
#pragma once

#include "texts/Texts.h"

namespace texts {

Catalogue FrenchRows();
Catalogue EnglishRows();

}  // namespace texts
