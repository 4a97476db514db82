#include "platform/FieldValidation.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QValidator>

#include <algorithm>
#include <climits>
#include <utility>

#include "platform/Text.h"
#include "platform/UiServices.h"

namespace {

bool Refuse(QLineEdit& edit, CUiServices& ui, const std::string& strPrompt) {
    ui.WarningBox(strPrompt);
    edit.setFocus();
    edit.selectAll();
    return false;
}

// Accepts what the framework's integer exchange accepts: blanks around an optionally signed
// decimal number within the 32-bit range.
bool ParseInteger(const QString& text, int& nValue) {
    bool bOk = false;
    long long value = text.trimmed().toLongLong(&bOk, 10);
    if (!bOk || value < INT_MIN || value > INT_MAX) {
        return false;
    }
    nValue = static_cast<int>(value);
    return true;
}

// The first character of the text that has no code page 932 form, or an empty string.
QString FirstUnencodable(const QString& text) {
    for (int index = 0; index < text.size();) {
        int length = text.at(index).isHighSurrogate() && index + 1 < text.size() ? 2 : 1;
        QString character = text.mid(index, length);
        if (!Utf8ToCp932(character.toStdString())) {
            return character;
        }
        index += length;
    }
    return {};
}

// Characters below 0x20 and DEL: a line break or tab pasted into a one-line box would split or
// shift the line of the file the text is written into.
bool HasControlCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar character) { return character < u' ' || character == u'\x7f'; });
}

bool RefuseControlCharacter(QLineEdit& edit, CUiServices& ui) {
    return Refuse(edit, ui, "改行などの制御文字は使用できません。");
}

class CByteLimitValidator : public QValidator {
public:
    CByteLimitValidator(size_t nMaxBytes, QObject* pParent)
        : QValidator(pParent), m_nMaxBytes(nMaxBytes) {}

    State validate(QString& input, int&) const override {
        auto cp932 = Utf8ToCp932(input.toStdString());
        // A character outside the code page is refused when the field is taken, with a
        // message that names it, rather than silently swallowed here.
        size_t nBytes = cp932 ? cp932->size() : static_cast<size_t>(input.toStdString().size());
        return nBytes <= m_nMaxBytes ? Acceptable : Invalid;
    }

private:
    size_t m_nMaxBytes;
};

}  // namespace

bool TakeIntegerField(QLineEdit& edit, int& nValue, CUiServices& ui) {
    if (!ParseInteger(edit.text(), nValue)) {
        return Refuse(edit, ui, "Enter an integer.");
    }
    return true;
}

bool TakeIntegerField(QLineEdit& edit, int nMin, int nMax, int& nValue, CUiServices& ui) {
    int nRead = 0;
    if (!TakeIntegerField(edit, nRead, ui)) {
        return false;
    }
    if (nRead < nMin || nRead > nMax) {
        return Refuse(edit, ui, Format("Enter an integer between %d and %d.", nMin, nMax));
    }
    nValue = nRead;
    return true;
}

bool TakeTextField(QLineEdit& edit, size_t nMaxBytes, std::string& strCp932, CUiServices& ui) {
    std::string strTaken = strCp932;
    if (edit.text().toStdString() != Cp932ToDisplay(strCp932)) {
        if (HasControlCharacter(edit.text())) {
            return RefuseControlCharacter(edit, ui);
        }
        auto cp932 = Utf8ToCp932(edit.text().toStdString());
        if (!cp932) {
            std::string strCharacter = FirstUnencodable(edit.text()).toStdString();
            return Refuse(edit, ui, "「" + strCharacter + "」は使用できない文字です。");
        }
        strTaken = std::move(*cp932);
    }
    if (strTaken.size() > nMaxBytes) {
        return Refuse(edit, ui, Format("Enter no more than %zu characters.", nMaxBytes));
    }
    strCp932 = std::move(strTaken);
    return true;
}

bool TakeNameField(QLineEdit& edit, std::string& strText, CUiServices& ui) {
    if (HasControlCharacter(edit.text())) {
        return RefuseControlCharacter(edit, ui);
    }
    strText = edit.text().toStdString();
    return true;
}

void LimitFieldBytes(QLineEdit& edit, size_t nMaxBytes) {
    edit.setValidator(new CByteLimitValidator(nMaxBytes, &edit));
}

bool TakeLeadingIntegerField(QLineEdit& edit, int& nValue, CUiServices& ui) {
    static const QRegularExpression leadingInteger(QStringLiteral("^\\s*[+-]?[0-9]"));
    if (!leadingInteger.match(edit.text()).hasMatch()) {
        return Refuse(edit, ui, "Enter an integer.");
    }
    nValue = DecimalValue(edit.text().toStdString());
    return true;
}

void TypeInUpperCase(QLineEdit& edit) {
    QObject::connect(&edit, &QLineEdit::textEdited, &edit, [&edit](const QString& strText) {
        std::optional<std::string> cp932 = Utf8ToCp932(strText.toStdString());
        if (!cp932) {
            return;
        }
        int nCursor = edit.cursorPosition();
        edit.setText(QString::fromStdString(Cp932ToDisplay(MakeUpper(*cp932))));
        edit.setCursorPosition(nCursor);
    });
}
