#pragma once

#include <cstddef>
#include <string>

class QLineEdit;
class CUiServices;

// The standard prompts with which a dialog refuses a field value on OK. Each failing Take
// shows its prompt as a warning box, then focuses and selects the field, so the dialog stays
// open on the value to correct.

// "Enter an integer." when the text is no integer.
bool TakeIntegerField(QLineEdit& edit, int& nValue, CUiServices& ui);
// "Enter an integer." unless the text starts, after blanks, with an optionally signed number;
// what follows the number is ignored ("12ab" gives 12).
bool TakeLeadingIntegerField(QLineEdit& edit, int& nValue, CUiServices& ui);
// As TakeIntegerField, and "Enter an integer between %1 and %2." outside nMin..nMax.
bool TakeIntegerField(QLineEdit& edit, int nMin, int nMax, int& nValue, CUiServices& ui);
// The text as code page 932 bytes; "Enter no more than %1 characters." over nMaxBytes bytes, and
// a message naming the character when one has no code page 932 form.
bool TakeTextField(QLineEdit& edit, size_t nMaxBytes, std::string& strCp932, CUiServices& ui);

// Keeps the box from taking more than nMaxBytes bytes of code page 932.
void LimitFieldBytes(QLineEdit& edit, size_t nMaxBytes);

// Letters typed into the box become capitals, as the code page knows them.
void TypeInUpperCase(QLineEdit& edit);
