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
// a message when it holds a control character or a character without a code page 932 form.
// strCp932 holds the bytes the box was filled from: while the box still shows them, they are
// taken as they are, so that bytes from a file written elsewhere (with no character of their
// own, shown as "�") survive and never stop the dialog; only the byte limit applies to them.
bool TakeTextField(QLineEdit& edit, size_t nMaxBytes, std::string& strCp932, CUiServices& ui);
// The text as UTF-8, for names that become names of files or folders on the PC; a message when
// it holds a control character.
bool TakeNameField(QLineEdit& edit, std::string& strText, CUiServices& ui);

// Keeps the box from taking more than nMaxBytes bytes of code page 932.
void LimitFieldBytes(QLineEdit& edit, size_t nMaxBytes);

// Letters typed into the box become capitals, as the code page knows them.
void TypeInUpperCase(QLineEdit& edit);
